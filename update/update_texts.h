#pragma once
// The update check's own texts and names, exactly as the program shows and
// reads them.
namespace lw::updatetext {

inline constexpr char kCaption[] = "Loomwrite_Programmer";
inline constexpr char kPromptHead[] =
    "Your version : %s,\nNew version : %s,\nAn update package is available, do you wnat to download it?\n\n";
inline constexpr char kPromptStartup[] = "Yes : download now\nNo : stop check when app start up\nCancel : check at next time";
inline constexpr char kPromptManual[] = "Yes : download now\nNo : skip";
inline constexpr char kUpToDate[] = "Your version of Loomwrite_Programmer is up to date.\n\nYour version : %s";

inline constexpr char kTemporaryPrefix[] = "ICP";
inline constexpr char kSection[] = "VORO0Ruza_Tether";
inline constexpr char kVersionKey[] = "Version";
inline constexpr char kUrlKey[] = "URL";

}  // namespace lw::updatetext
