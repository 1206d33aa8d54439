#pragma once
// Messages this program shows beyond those of the Language table, for
// failures it reports that would otherwise pass in silence. Like the
// adapter-status texts they are fixed English texts; the Language tables
// keep exactly their shipped keys.
namespace lw::programtext {

inline constexpr char kOffsetBeyondFlash[] =
    "The load address lies at or beyond the end of the flash, nothing of the file can be placed !";
inline constexpr char kHexDataNotRead[] =
    "Reading the HEX file stopped before all of its data (a damaged record, or data after an end or "
    "start-address record), only the data before that point will be loaded !";
inline constexpr char kProjectNotWritten[] = "The project file could not be written, nothing was saved !";
inline constexpr char kEnterUpdateModeFailed[] = "Tether did not enter the firmware update mode !";
inline constexpr char kUpdateModeNotFound[] = "No Tether in firmware update mode was found !";
inline constexpr char kFirmwareDownloadFailed[] = "Firmware download to the Tether failed !";
inline constexpr char kCodeTooLongToVerify[] =
    "Code buffer is larger than the read-back area, it can't be verified !";
inline constexpr char kTetherAccessDenied[] =
    "The Tether is plugged in, but this user may not open its hidraw device (permission denied) !\n"
    "Install the udev rules from contrib/udev once:\n"
    "  sudo cp contrib/udev/60-loomwrite-adapter.rules /etc/udev/rules.d/\n"
    "  sudo udevadm control --reload-rules\n"
    "  sudo udevadm trigger\n"
    "then unplug the Tether and plug it in again.";
inline constexpr char kCodeReadBackFailed[] =
    "Code could not be read back from the target, it can't be verified !";
inline constexpr char kAdapterCodeReadBackFailed[] =
    "Code could not be read back from the Tether, it can't be verified !";
// The Off-line mode dialog's max counter, as the dialog framework asks for it.
inline constexpr char kMaxCounterNotANumber[] = "Please enter an integer between 0 and 65530.";
inline constexpr char kPictureNotWritten[] = "The picture could not be written !";
inline constexpr char kPrintNotStarted[] = "The print job could not be started !";
inline constexpr char kPdfNotWritten[] = "The PDF file could not be written !";

}  // namespace lw::programtext
