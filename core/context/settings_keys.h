#pragma once
// The settings the program keeps, all in section "Settings" of the per-user
// store, with their defaults.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lw {

class SettingsPort;

inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kSettingsOrganisation[] = "Local AppWizard-Generated Applications";

namespace settings {
inline constexpr char kCheckVersion[] = "CheckVersion";
inline constexpr char kBodyId[] = "BodyID";
inline constexpr char kOptionBytes[] = "pOR";
inline constexpr char kLoadPath[] = "LoadPath";
inline constexpr char kKpjSavePath[] = "KpjSavePath";
inline constexpr char kLanguage[] = "Language";  // the Language index chosen in the window menu

int32_t checkVersion(const SettingsPort& s);  // default 2
void setCheckVersion(SettingsPort& s, int32_t value);
int32_t bodyId(const SettingsPort& s);        // default -1
void setBodyId(SettingsPort& s, int32_t value);
void setOptionBytes(SettingsPort& s, const std::vector<uint8_t>& bytes);
std::string loadPath(const SettingsPort& s);  // default ""
void setLoadPath(SettingsPort& s, const std::string& path);
std::string kpjSavePath(const SettingsPort& s);  // default ""
void setKpjSavePath(SettingsPort& s, const std::string& path);
// The stored Language index, or nothing when none was chosen (English).
std::optional<int32_t> language(const SettingsPort& s);
void setLanguage(SettingsPort& s, int32_t index);
}  // namespace settings

}  // namespace lw
