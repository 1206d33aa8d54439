#include "core/context/settings_keys.h"

#include "core/ports/settings_port.h"

namespace lw::settings {

int32_t checkVersion(const SettingsPort& s) { return s.readInt(kSettingsSection, kCheckVersion).value_or(2); }
void setCheckVersion(SettingsPort& s, int32_t value) { s.writeInt(kSettingsSection, kCheckVersion, value); }
int32_t bodyId(const SettingsPort& s) { return s.readInt(kSettingsSection, kBodyId).value_or(-1); }
void setBodyId(SettingsPort& s, int32_t value) { s.writeInt(kSettingsSection, kBodyId, value); }
void setOptionBytes(SettingsPort& s, const std::vector<uint8_t>& bytes) {
  s.writeBinary(kSettingsSection, kOptionBytes, bytes);
}
std::string loadPath(const SettingsPort& s) { return s.readString(kSettingsSection, kLoadPath).value_or(""); }
void setLoadPath(SettingsPort& s, const std::string& path) { s.writeString(kSettingsSection, kLoadPath, path); }
std::string kpjSavePath(const SettingsPort& s) { return s.readString(kSettingsSection, kKpjSavePath).value_or(""); }
void setKpjSavePath(SettingsPort& s, const std::string& path) { s.writeString(kSettingsSection, kKpjSavePath, path); }
std::optional<int32_t> language(const SettingsPort& s) { return s.readInt(kSettingsSection, kLanguage); }
void setLanguage(SettingsPort& s, int32_t index) { s.writeInt(kSettingsSection, kLanguage, index); }

}  // namespace lw::settings
