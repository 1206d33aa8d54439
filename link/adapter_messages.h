#pragma once
// The texts the adapter operations show: the fixed adapter-status texts,
// and the two ways they reach the user.
#include <cstdint>
#include <string>

#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"

namespace lw {

struct AppContext;

// Caption of the adapter-status boxes, and their texts.
inline constexpr char kAdapterErrorCaption[] = "Error occured !";
inline constexpr char kStatusChecksumMismatch[] = "Checksum is not match !";
inline constexpr char kStatusDutNoResponse[] = "DUT is no response!";
inline constexpr char kStatusUnhandled[] = "Can't handle the error code!";
inline constexpr char kStatusEraseFailed[] = "Erase Chip Fail!";
inline constexpr char kStatusVoltageOutOfRange[] = "DUT's voltage is out of range !";

// A box owned by the main dialog with the "Error !" caption of the Language
// table, the error icon and a text of the program's own.
void errorBoxWithText(AppContext& app, const std::string& text);

// A plain "Error occured !" box with an OK button and no icon.
void adapterErrorBox(AppContext& app, const std::string& text, BoxOwner owner);

}  // namespace lw
