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

}  // namespace lw::textkey
