#pragma once
// Keys of the Language table texts the program looks up by name. Captions
// of controls are looked up by the control's id (see the *_ids.h headers);
// the keys here are the texts that are not a control's caption, or that the
// logic names on purpose. Every key is declared here once.
#include <cstdint>

namespace lw::textkey {

inline constexpr uint16_t kLanguageName = 0;     // "English"
inline constexpr uint16_t kProgramTitle = 102;   // main window title
inline constexpr uint16_t kAreaDialogTitle = 146;
inline constexpr uint16_t kOfflineDialogTitle = 168;  // "Set Max Counter & Serial Number"

inline constexpr uint16_t kChecksumFailed = 1100;
inline constexpr uint16_t kError = 1101;               // "Error !"
inline constexpr uint16_t kUpdateTargetFailed = 1102;
inline constexpr uint16_t kUpdateTargetOk = 1103;
inline constexpr uint16_t kPass = 1104;                // "Pass !"
inline constexpr uint16_t kChecksumWord = 1105;
inline constexpr uint16_t kSizeWord = 1106;
inline constexpr uint16_t kWarning = 1107;             // "Warning !"
inline constexpr uint16_t kFileTooLarge = 1108;        // truncation warning
inline constexpr uint16_t kCompleted = 1109;
inline constexpr uint16_t kTetherMissing = 1110;
inline constexpr uint16_t kTargetMissing = 1111;
inline constexpr uint16_t kTargetIsNot = 1112;
inline constexpr uint16_t kFail = 1119;                // "Fail !"
inline constexpr uint16_t kCancelled = 1123;
inline constexpr uint16_t kFileSizeZero = 1124;
inline constexpr uint16_t kDetectTether = 1126;
inline constexpr uint16_t kFirmwareWaiting = 1127;     // "Update firmware version, please wait for a while."
inline constexpr uint16_t kTetherUpgraded = 1128;
inline constexpr uint16_t kCloseTetherFailed = 1129;
inline constexpr uint16_t kResetToApFailed = 1130;
inline constexpr uint16_t kFirmwarePrompt = 1131;      // the firmware-update prompt's message
inline constexpr uint16_t kUpdateProgrammerOk = 1132;
inline constexpr uint16_t kUpdateProgrammerFailed = 1133;
inline constexpr uint16_t kCompareWithTether = 1134;
inline constexpr uint16_t kVerifying = 1151;           // the progress bar's word during a read-back
inline constexpr uint16_t kOk = 1142;                  // "Ok" (a button caption, and a tooltip after "|")
inline constexpr uint16_t kCancel = 1143;              // "Cancel"

inline constexpr uint16_t kNotAProject = 2000;
inline constexpr uint16_t kProjectContentDiffers = 2001;
inline constexpr uint16_t kIncompatible = 2002;
inline constexpr uint16_t kNewerEdition = 2003;
inline constexpr uint16_t kOldEdition = 2004;
inline constexpr uint16_t kIncompatibleOpenAnyway = 2005;
inline constexpr uint16_t kTargetNotSupported = 2006;
inline constexpr uint16_t kLinkTooOld = 2007;

// Code files beyond raw, HEX and project files: the open dialog's first
// filter, ELF refusals and warnings, the damaged S-record warning.
inline constexpr uint16_t kAllCodeFiles = 2008;        // the filter's label, its patterns appended
inline constexpr uint16_t kNotAnElfFile = 2009;
inline constexpr uint16_t kElfNot32Bit = 2010;
inline constexpr uint16_t kElfBigEndian = 2011;
inline constexpr uint16_t kElfNotArm = 2012;
inline constexpr uint16_t kElfNotExecutable = 2013;
inline constexpr uint16_t kElfDamaged = 2014;
inline constexpr uint16_t kElfNoFlashBytes = 2015;
inline constexpr uint16_t kElfSegmentsLeftOut = 2016;  // the segments' addresses and sizes follow
inline constexpr uint16_t kSRecordDataNotRead = 2017;  // the line and path follow

// The target operations beside Update Target: the window menu's entries,
// their result boxes and the details those boxes carry.
inline constexpr uint16_t kReadTargetMenu = 2020;
inline constexpr uint16_t kVerifyTargetMenu = 2021;
inline constexpr uint16_t kEraseTargetMenu = 2022;
inline constexpr uint16_t kBlankCheckMenu = 2023;
inline constexpr uint16_t kReadTargetOk = 2024;
inline constexpr uint16_t kReadTargetFailed = 2025;
inline constexpr uint16_t kVerifyTargetOk = 2026;
inline constexpr uint16_t kVerifyTargetFailed = 2027;
inline constexpr uint16_t kEraseTargetOk = 2028;
inline constexpr uint16_t kEraseTargetFailed = 2029;
inline constexpr uint16_t kTargetBlank = 2030;
inline constexpr uint16_t kTargetNotBlank = 2031;
inline constexpr uint16_t kBlankCheckFailed = 2032;
inline constexpr uint16_t kTargetReadProtected = 2033;
inline constexpr uint16_t kTargetNotRead = 2034;
inline constexpr uint16_t kBytesThatDiffer = 2035;     // ": N" follows
inline constexpr uint16_t kDifferenceHeading = 2036;   // "offset: buffer / target" lines follow
inline constexpr uint16_t kFirstNonBlankByte = 2037;   // ": 0x..." follows
inline constexpr uint16_t kReadFromTarget = 2038;      // the part's name in quotes follows
inline constexpr uint16_t kReading = 2039;             // the progress bar's word while reading the target
inline constexpr uint16_t kTooLargeToVerify = 2040;
inline constexpr uint16_t kNothingToVerify = 2041;

// The window menu, the About box and the language choice.
inline constexpr uint16_t kLanguageMenu = 2060;        // "Language"
inline constexpr uint16_t kCheckUpdateMenu = 2061;     // "Check update"
inline constexpr uint16_t kAboutTitle = 2062;          // the About box's title; its menu entry adds "(&A)..."
inline constexpr uint16_t kLanguageInUse = 2063;       // the status line after a change of language
inline constexpr uint16_t kMenuButtonTip = 2099;       // "Menu"
// The detailed tooltips of the first four option boxes.
inline constexpr uint16_t kFirstFixedOptionTip = 2064;  // 2064..2067
inline constexpr uint16_t kFixedOptionTipCount = 4;
// A button of the dialogs that carry "OK" (the area dialog, the KPJ Dialog,
// the About box); their Cancel is kCancel.
inline constexpr uint16_t kOkButton = 2072;
inline constexpr uint16_t kCodeBufferEmpty = 2073;     // "Code Buffer is empty !"

// The adapter-status boxes: their caption and the five texts.
inline constexpr uint16_t kAdapterErrorCaption = 2074;  // "Error occured !"
inline constexpr uint16_t kStatusChecksumMismatch = 2075;
inline constexpr uint16_t kStatusDutNoResponse = 2076;
inline constexpr uint16_t kStatusUnhandled = 2077;
inline constexpr uint16_t kStatusEraseFailed = 2078;
inline constexpr uint16_t kStatusVoltageOutOfRange = 2079;

// Failures the program reports that would otherwise pass in silence.
inline constexpr uint16_t kOffsetBeyondFlash = 2080;
inline constexpr uint16_t kHexDataNotRead = 2081;       // the line and path follow
inline constexpr uint16_t kProjectNotWritten = 2082;
inline constexpr uint16_t kEnterUpdateModeFailed = 2083;
inline constexpr uint16_t kUpdateModeNotFound = 2084;
inline constexpr uint16_t kFirmwareDownloadFailed = 2085;
inline constexpr uint16_t kCodeTooLongToVerify = 2086;
inline constexpr uint16_t kTetherAccessDenied = 2087;  // with the udev rules' installation
inline constexpr uint16_t kCodeReadBackFailed = 2088;
inline constexpr uint16_t kAdapterCodeReadBackFailed = 2089;
inline constexpr uint16_t kMaxCounterNotANumber = 2090;  // the Off-line mode dialog's validation prompt
inline constexpr uint16_t kPictureNotWritten = 2091;
inline constexpr uint16_t kPrintNotStarted = 2092;
inline constexpr uint16_t kPdfNotWritten = 2093;

// The update check's boxes; %1 the own version, %2 the published one.
inline constexpr uint16_t kUpdateOfferStartup = 2094;  // Yes / No (stop checking) / Cancel
inline constexpr uint16_t kUpdateOfferManual = 2095;   // Yes / No
inline constexpr uint16_t kUpToDate = 2096;

// Details appended to a message: "Line %1 of %2" (line, path) and the load
// address beyond the flash ("0x%1", "0x%2").
inline constexpr uint16_t kLineOfFile = 2097;
inline constexpr uint16_t kLoadAddressBeyondFlash = 2098;

// The size field: "%1 = %2 Bytes" with the word for size and the code size.
inline constexpr uint16_t kSizeFieldText = 2100;

// The file dialogs' filter names; each filter's patterns follow its name in
// parentheses ("Bin Format(*.bin)").
inline constexpr uint16_t kSupportFormatFilter = 2101;
inline constexpr uint16_t kBinFormatFilter = 2102;
inline constexpr uint16_t kHexFormatFilter = 2103;
inline constexpr uint16_t kProjectFormatFilter = 2104;   // the open dialogs of Load File and the KPJ Form List
inline constexpr uint16_t kAnyFormatFilter = 2105;       // "all Format", Load File's last
inline constexpr uint16_t kVantrelProjectFilter = 2106;  // Save *.KPJ
inline constexpr uint16_t kAllFormatFilter = 2107;       // "All Format", Save *.KPJ's last
inline constexpr uint16_t kBitmapFormatFilter = 2108;    // Save Picture

// Start-up's boxes: a second instance, paths too long, and the system error
// box (its caption "Error Code = 0x%1" and the text of the code).
inline constexpr uint16_t kAnotherInstance = 2109;
inline constexpr uint16_t kAnotherInstanceCaption = 2110;  // "Error"
inline constexpr uint16_t kProgramPathTooLong = 2111;
inline constexpr uint16_t kFilePathTooLong = 2112;
inline constexpr uint16_t kErrorCodeCaption = 2113;
inline constexpr uint16_t kFirstSystemErrorText = 2114;    // 2114..2133, see systemErrorTextKey
inline constexpr uint16_t kSystemErrorTextCount = 20;

// The main window's own boxes.
inline constexpr uint16_t kDeviceWatchFailed = 2134;  // HID notifications could not be registered
inline constexpr uint16_t kPartSearchError = 2135;    // "ERROR": a part name search met a broken entry
inline constexpr uint16_t kNoHexView = 2136;          // the hex view module has no window to show

// Why a print job did not start (after kPrintNotStarted); %1 names the
// file, folder or printer.
inline constexpr uint16_t kNoPdfFileNamed = 2137;
inline constexpr uint16_t kFolderMissing = 2138;
inline constexpr uint16_t kFileNotWritable = 2139;
inline constexpr uint16_t kFolderNotWritable = 2140;
inline constexpr uint16_t kPdfNotOpened = 2141;
inline constexpr uint16_t kNoPrinterChosen = 2142;
inline constexpr uint16_t kPrinterRefused = 2143;

// One ELF segment left out of the load: "0x%1 (%2 bytes)", address and size.
inline constexpr uint16_t kLeftOutSegment = 2144;

// The system's reasons a file could not be written, for the errors a save
// meets most (fileErrorTextOf; any other keeps the system's own text).
inline constexpr uint16_t kPermissionDenied = 2145;
inline constexpr uint16_t kOperationNotPermitted = 2146;
inline constexpr uint16_t kNoSuchFileOrDirectory = 2147;
inline constexpr uint16_t kNotADirectory = 2148;
inline constexpr uint16_t kIsADirectory = 2149;
inline constexpr uint16_t kReadOnlyFileSystem = 2150;
inline constexpr uint16_t kNoSpaceLeft = 2151;
inline constexpr uint16_t kDiskQuotaExceeded = 2152;
inline constexpr uint16_t kFileNameTooLong = 2153;
inline constexpr uint16_t kInputOutputError = 2154;
inline constexpr uint16_t kFileTooLargeError = 2155;

}  // namespace lw::textkey

// The Language index: table 256 + index. English is the default.
namespace lw::language {
inline constexpr uint16_t kEnglish = 0;
inline constexpr uint16_t kSimplifiedChinese = 1;
}  // namespace lw::language
