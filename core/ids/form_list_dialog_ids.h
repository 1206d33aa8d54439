#pragma once
// Controls of the Form list dialog. Its captions come from the Language
// table keys equal to the ids (the dialog's own from key 170).
namespace lw::formdlg {

inline constexpr int kDialogId = 170;
inline constexpr int kLoadKpj = 1090;
inline constexpr int kPrint = 1091;
inline constexpr int kSavePicture = 1088;
inline constexpr int kExit = 2;
inline constexpr int kPreview = 1093;

}  // namespace lw::formdlg
