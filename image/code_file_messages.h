#pragma once
// The message boxes of the code-file flows and the language keys they use.
#include <cstdint>
#include <string>

#include "app/messages.h"

namespace lw {

struct AppContext;

namespace codefiles {

namespace key {
inline constexpr uint16_t kErrorCaption = 1101;      // "Error !"
inline constexpr uint16_t kWarningCaption = 1107;    // "Warning !"
inline constexpr uint16_t kFileTooLarge = 1108;      // truncation warning
inline constexpr uint16_t kNotAProject = 2000;
inline constexpr uint16_t kIncompatible = 2002;
inline constexpr uint16_t kNewerEdition = 2003;
inline constexpr uint16_t kOldEdition = 2004;
inline constexpr uint16_t kTargetNotSupported = 2006;
}  // namespace key

}  // namespace codefiles
}  // namespace lw
