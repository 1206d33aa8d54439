#pragma once
// Controls of the Off-line mode dialog ("Set Max Counter & Serial Number").
// A control's id is also the key of its caption in the Language table.
namespace lw::offlinedlg {

inline constexpr int kDialogId = 168;
inline constexpr int kMaxCounterLabel = 1135;
inline constexpr int kMaxCounter = 1066;         // edit, decimal
inline constexpr int kSerialEnabled = 1136;      // check box "Enable SerialNumber"
inline constexpr int kStringLabel = 1137;
inline constexpr int kSerialString = 1069;       // edit, 12 characters
inline constexpr int kNumberLabel = 1138;
inline constexpr int kSerialValue = 1075;        // hex entry field, 8 digits
inline constexpr int kAutoIncrement = 1139;      // check box "Auto Increment Number"
inline constexpr int kStartAddressLabel = 1140;
inline constexpr int kStartAddress = 1074;       // hex entry field, 8 digits
inline constexpr int kEndAddressLabel = 1141;
inline constexpr int kEndAddress = 1076;         // hex entry field, read-only
inline constexpr int kOk = 1142;
inline constexpr int kCancel = 1143;
// Escape and the close box arrive as this command.
inline constexpr int kEscape = 2;
// How the dialog ends.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;

}  // namespace lw::offlinedlg
