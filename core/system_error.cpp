#include <cerrno>
#include <cstring>

#include "core/codes.h"

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

const char* systemErrorText(uint32_t code) {
  switch (code) {
    case err::kSuccess: return "The operation completed successfully.";
    case err::kFileNotFound: return "The system cannot find the file specified.";
    case err::kAccessDenied: return "Access is denied.";
    case err::kNotEnoughMemory: return "Not enough memory resources are available to process this command.";
    case err::kInvalidHandle: return "The handle is invalid.";
    case err::kNotSupported: return "The request is not supported.";
    case err::kInvalidParameter: return "The parameter is incorrect.";
    case err::kInvalidData: return "The data is invalid.";
    case err::kOutOfMemory: return "Not enough memory resources are available to complete this operation.";
    case err::kReadFault: return "The system cannot read from the specified device.";
    case err::kGenFailure: return "A device attached to the system is not functioning.";
    case err::kInvalidName: return "The filename, directory name, or volume label syntax is incorrect.";
    case err::kModuleNotFound: return "The specified module could not be found.";
    case err::kProcNotFound: return "The specified procedure could not be found.";
    case err::kWaitTimeout: return "The wait operation timed out.";
    case err::kOperationAborted: return "The I/O operation has been aborted because of either a thread exit or an application request.";
    case err::kDeviceNotConnected: return "The device is not connected.";
    case err::kInternetTimeout: return "The operation timed out.";
    case err::kInternetCannotConnect: return "An attempt to connect to the server failed.";
    default: return "Unknown error.";
  }
}

}  // namespace lw
