#pragma once
// The message boxes of the code-file flows and the language keys they use.
#include <cstdint>
#include <string>

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

// A language text of the table in use (empty when the key is missing).
std::string text(const AppContext& ctx, uint16_t key);

// A box whose caption and text are language keys.
int boxByKeys(AppContext& ctx, uint16_t captionKey, uint16_t textKey, unsigned style);

// The application's own box: the language text under the application's title.
int applicationBox(AppContext& ctx, uint16_t textKey, unsigned style);

}  // namespace codefiles
}  // namespace lw
