#include <cerrno>
#include <cstddef>
#include <iterator>

#include "core/codes.h"
#include "core/ids/language_keys.h"

namespace lw {

uint32_t errorFromErrno(int e) {
  switch (e) {
    case 0: return err::kSuccess;
    case ENOENT: return err::kFileNotFound;
    case EACCES:
    case EPERM: return err::kAccessDenied;
    case ENOMEM: return err::kNotEnoughMemory;
    case ENAMETOOLONG:
    case EINVAL: return err::kInvalidName;
    case EIO: return err::kReadFault;
    case ENODEV:
    case ENXIO: return err::kDeviceNotConnected;
    case ETIMEDOUT: return err::kWaitTimeout;
    case ECANCELED: return err::kOperationAborted;
    default: return err::kGenFailure;
  }
}

namespace {

// The texts in the order of their Language table keys, from
// textkey::kFirstSystemErrorText; the last one stands for every code not
// listed.
struct SystemError {
  uint32_t code;
  const char* text;
};
constexpr SystemError kSystemErrors[] = {
    {err::kSuccess, "The operation completed successfully."},
    {err::kFileNotFound, "The system cannot find the file specified."},
    {err::kAccessDenied, "Access is denied."},
    {err::kNotEnoughMemory, "Not enough memory resources are available to process this command."},
    {err::kInvalidHandle, "The handle is invalid."},
    {err::kNotSupported, "The request is not supported."},
    {err::kInvalidParameter, "The parameter is incorrect."},
    {err::kInvalidData, "The data is invalid."},
    {err::kOutOfMemory, "Not enough memory resources are available to complete this operation."},
    {err::kReadFault, "The system cannot read from the specified device."},
    {err::kGenFailure, "A device attached to the system is not functioning."},
    {err::kInvalidName, "The filename, directory name, or volume label syntax is incorrect."},
    {err::kModuleNotFound, "The specified module could not be found."},
    {err::kProcNotFound, "The specified procedure could not be found."},
    {err::kWaitTimeout, "The wait operation timed out."},
    {err::kOperationAborted,
     "The I/O operation has been aborted because of either a thread exit or an application request."},
    {err::kDeviceNotConnected, "The device is not connected."},
    {err::kInternetTimeout, "The operation timed out."},
    {err::kInternetCannotConnect, "An attempt to connect to the server failed."},
};
constexpr const char* kUnknownError = "Unknown error.";
constexpr std::size_t kSystemErrorCount = std::size(kSystemErrors);
static_assert(kSystemErrorCount + 1 == textkey::kSystemErrorTextCount);

std::size_t systemErrorIndex(uint32_t code) {
  for (std::size_t i = 0; i < kSystemErrorCount; ++i)
    if (kSystemErrors[i].code == code) return i;
  return kSystemErrorCount;
}

}  // namespace

const char* systemErrorText(uint32_t code) {
  const std::size_t i = systemErrorIndex(code);
  return i < kSystemErrorCount ? kSystemErrors[i].text : kUnknownError;
}

uint16_t systemErrorTextKey(uint32_t code) {
  return static_cast<uint16_t>(textkey::kFirstSystemErrorText + systemErrorIndex(code));
}

}  // namespace lw
