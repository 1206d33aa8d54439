#pragma once
// Controls of the KPJ Dialog. The dialog's title is the Language table text
// of its id, and its prompt and labels the texts of theirs. The fields and
// buttons are not keys: 1100..1102 are message texts in the table, and the
// buttons take the shared "OK" and "Cancel" texts.
namespace lw::kpjdlg {

inline constexpr int kDialogId = 207;
inline constexpr int kPromptLabel = 2068;
inline constexpr int kToLabel = 2069;
inline constexpr int kFromLabel = 2070;
inline constexpr int kPartNoLabel = 2071;
inline constexpr int kToField = 1100;
inline constexpr int kFromField = 1101;
inline constexpr int kPartNoField = 1102;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;

}  // namespace lw::kpjdlg
