#pragma once
// Small integer codes the program's logic shares with its ports: message-box
// styles and answers, and the system error numbers its results carry.
// They keep the values of the platform the tool was first made for, so that
// results read the same on every platform.
#include <cstdint>

namespace lw {

namespace mb {
// Buttons
inline constexpr unsigned kOk = 0x00;
inline constexpr unsigned kOkCancel = 0x01;
inline constexpr unsigned kYesNoCancel = 0x03;
inline constexpr unsigned kYesNo = 0x04;
inline constexpr unsigned kButtonMask = 0x0F;
// Icons
inline constexpr unsigned kIconError = 0x10;     // also the stop icon
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconWarning = 0x30;   // exclamation
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kIconMask = 0xF0;
// Default button
inline constexpr unsigned kDefaultButton2 = 0x100;
}  // namespace mb

// Answers of a message box.
enum Answer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// System error numbers used in results.
namespace err {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kInvalidHandle = 6;
inline constexpr uint32_t kNotEnoughMemory = 8;
inline constexpr uint32_t kInvalidData = 13;
inline constexpr uint32_t kOutOfMemory = 14;
inline constexpr uint32_t kReadFault = 30;
inline constexpr uint32_t kNotSupported = 50;
inline constexpr uint32_t kInvalidParameter = 87;
inline constexpr uint32_t kInvalidName = 123;
inline constexpr uint32_t kModuleNotFound = 126;
inline constexpr uint32_t kProcNotFound = 127;
inline constexpr uint32_t kWaitTimeout = 258;
inline constexpr uint32_t kOperationAborted = 995;
inline constexpr uint32_t kDeviceNotConnected = 1167;
inline constexpr uint32_t kGenFailure = 31;
inline constexpr uint32_t kInternetTimeout = 12002;
inline constexpr uint32_t kInternetCannotConnect = 12029;
}  // namespace err

// Converts an errno value into the program's error numbering.
uint32_t errorFromErrno(int errnoValue);

// The system's message for an error number in English, as the command
// line's failure lines give it.
const char* systemErrorText(uint32_t code);
// The Language table key of the same message (the system error box shows
// it in the language in use); a code without a message of its own has the
// key of "Unknown error.".
uint16_t systemErrorTextKey(uint32_t code);

}  // namespace lw
