#pragma once
// The texts the adapter operations show: Language table keys, the fixed
// adapter-status texts, and the two ways they reach the user.
#include <cstdint>
#include <string>

#include "app/messages.h"
#include "platform/ports/message_box_port.h"

namespace lw {

struct AppContext;

namespace textkey {
inline constexpr uint16_t kChecksumFailed = 1100;
inline constexpr uint16_t kError = 1101;
inline constexpr uint16_t kUpdateTargetFailed = 1102;
inline constexpr uint16_t kUpdateTargetOk = 1103;
inline constexpr uint16_t kPass = 1104;
inline constexpr uint16_t kTetherMissing = 1110;
inline constexpr uint16_t kTargetMissing = 1111;
inline constexpr uint16_t kTargetIsNot = 1112;
inline constexpr uint16_t kDetectTether = 1126;
inline constexpr uint16_t kTetherUpgraded = 1128;
inline constexpr uint16_t kCloseTetherFailed = 1129;
inline constexpr uint16_t kResetToApFailed = 1130;
}  // namespace textkey

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
