#pragma once
// The settings store on QSettings: organisation "Local AppWizard-Generated
// Applications", application the program file's name.
#include <memory>

#include "core/ports/settings_port.h"

class QSettings;

namespace lw {

class QtSettings final : public SettingsPort {
 public:
  explicit QtSettings(const std::string& applicationName);
  ~QtSettings() override;
  std::optional<int32_t> readInt(const std::string& section, const std::string& key) const override;
  void writeInt(const std::string& section, const std::string& key, int32_t value) override;
  std::optional<std::string> readString(const std::string& section, const std::string& key) const override;
  void writeString(const std::string& section, const std::string& key, const std::string& value) override;
  std::optional<std::vector<uint8_t>> readBinary(const std::string& section, const std::string& key) const override;
  void writeBinary(const std::string& section, const std::string& key, const std::vector<uint8_t>& value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace lw
