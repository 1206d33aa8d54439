#pragma once
// Controls of the "Select AP/IAP area" dialog.
// A control's id is also the key of its caption in the Language table.
namespace lw::areadlg {

inline constexpr int kDialogId = 146;
inline constexpr int kApRadio = 1043;
inline constexpr int kIapRadio = 1044;
inline constexpr int kAddressLabel = 1045;
inline constexpr int kAddressField = 1011;  // hex entry field
inline constexpr int kClearBuffer = 1150;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;

}  // namespace lw::areadlg
