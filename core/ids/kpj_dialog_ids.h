#pragma once
// Controls of the KPJ Dialog. Its texts come from the dialog itself, so these
// ids are not Language table keys.
namespace lw::kpjdlg {

inline constexpr int kDialogId = 207;
inline constexpr int kToField = 1100;
inline constexpr int kFromField = 1101;
inline constexpr int kPartNoField = 1102;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;

}  // namespace lw::kpjdlg
