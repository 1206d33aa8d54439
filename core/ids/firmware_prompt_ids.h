#pragma once
// Controls of the firmware-update prompt.
// Its captions come from Language table keys of their own (core/ids/language_keys.h).
namespace lw::prompt {

inline constexpr int kDialogId = 169;
inline constexpr int kOk = 1086;
inline constexpr int kCancel = 1087;
inline constexpr int kMessage = 1089;       // message, later the waiting text
inline constexpr int kTitle = 1095;
inline constexpr int kFinishedSign = 1096;  // bitmap 188, hidden at first

}  // namespace lw::prompt
