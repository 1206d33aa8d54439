#pragma once
// Control ids of the main window and the notification codes its controls
// send. A control's id is also the key of its caption in the language table.
namespace lw {

namespace mainid {
inline constexpr int kNone = -1;  // labels, group boxes and the banner without an id
inline constexpr int kExit = 2;
inline constexpr int kPart = 1002;
inline constexpr int kUserDefine = 1005;
inline constexpr int kWholeChip = 1009;
inline constexpr int kAddressLabel = 1045;  // "Address : 0x", the same text as the area dialog's
inline constexpr int kIspSize = 1010;
inline constexpr int kIapLowerBound = 1012;
inline constexpr int kLoadFile = 1013;
inline constexpr int kInsertIspCode = 1014;
inline constexpr int kUpdateTarget = 1016;
inline constexpr int kUpdateProgrammer = 1017;
inline constexpr int kSaveKpj = 1018;
inline constexpr int kHexView = 1022;
inline constexpr int kFirstOptionBox = 1026;  // option boxes 0..11 are 1026..1037
inline constexpr int kLastOptionBox = 1037;
inline constexpr int kIapSize = 1038;
inline constexpr int kIwdtDivEnable = 1040;
inline constexpr int kIwdtDiv = 1041;
inline constexpr int kStatusLine = 1046;
inline constexpr int kSizeField = 1047;
inline constexpr int kChecksumField = 1048;
inline constexpr int kProgrammerTypeGroup = 1049;
inline constexpr int kPartGroup = 1050;
inline constexpr int kProgrammingAreaGroup = 1052;
inline constexpr int kOptionGroup = 1053;
inline constexpr int kIspSizeGroup = 1054;
inline constexpr int kIspSizeLabel = 1055;
inline constexpr int kIapSizeGroup = 1056;
inline constexpr int kIapSizeLabel = 1057;
inline constexpr int kIapLowerBoundLabel = 1058;
inline constexpr int kCodeBufferGroup = 1059;
inline constexpr int kAddress = 1097;
inline constexpr int kBootMode = 1099;
inline constexpr int kSeries = 1104;
inline constexpr int kIwdgCounter = 1106;
inline constexpr int kAutoReload = 1149;
// The window menu's button on the banner, where this platform offers what
// the system menu holds elsewhere ("Check update", the About box).
inline constexpr int kWindowMenu = 1200;
}  // namespace mainid

// Notification codes carried with a control's command.
namespace notify {
inline constexpr int kClicked = 0;        // button, check box, radio button
inline constexpr int kSelChange = 1;      // combo box selection changed by the user
inline constexpr int kContentChanged = 0x300;  // edit or hex view content changed
}  // namespace notify

// Commands of the window menu (the low 4 bits are the platform's own).
namespace syscmd {
inline constexpr unsigned kAbout = 0x10;
inline constexpr unsigned kCheckUpdate = 0x400;
// The target operations beside Update Target.
inline constexpr unsigned kReadTarget = 0x410;
inline constexpr unsigned kVerifyTarget = 0x420;
inline constexpr unsigned kEraseTarget = 0x430;
inline constexpr unsigned kBlankCheck = 0x440;
}  // namespace syscmd

// Messages posted to the main window from other threads.
namespace postmsg {
inline constexpr unsigned kStartFirmwareUpdate = 0x8001;
inline constexpr unsigned kResetToApFailed = 0x8002;
inline constexpr unsigned kCloseAdapterFailed = 0x8003;
inline constexpr unsigned kFirmwareUpdated = 0x8004;
inline constexpr unsigned kProgress = 0x8005;
}  // namespace postmsg

// The About box opened from the window menu, and its text line.
inline constexpr int kAboutDialogId = 100;
inline constexpr int kAboutTextId = 1085;

inline constexpr int kStartupProbeTimer = 1;
inline constexpr int kStartupProbeDelayMs = 200;

}  // namespace lw
