#include "platform/qt/qt_settings.h"

#include <QByteArray>
#include <QSettings>

#include "core/context/settings_keys.h"

namespace lw {

namespace {
QString keyPath(const std::string& section, const std::string& key) {
  return QString::fromStdString(section + "/" + key);
}
}  // namespace

QtSettings::QtSettings(const std::string& applicationName)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QString::fromUtf8(kSettingsOrganisation),
                                            QString::fromStdString(applicationName))) {}

QtSettings::~QtSettings() = default;

std::optional<int32_t> QtSettings::readInt(const std::string& section, const std::string& key) const {
  const QVariant v = settings_->value(keyPath(section, key));
  bool ok = false;
  const int value = v.toInt(&ok);
  if (!v.isValid() || !ok) return std::nullopt;
  return value;
}

void QtSettings::writeInt(const std::string& section, const std::string& key, int32_t value) {
  settings_->setValue(keyPath(section, key), value);
  settings_->sync();
}

std::optional<std::string> QtSettings::readString(const std::string& section, const std::string& key) const {
  const QVariant v = settings_->value(keyPath(section, key));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

void QtSettings::writeString(const std::string& section, const std::string& key, const std::string& value) {
  settings_->setValue(keyPath(section, key), QString::fromStdString(value));
  settings_->sync();
}

std::optional<std::vector<uint8_t>> QtSettings::readBinary(const std::string& section, const std::string& key) const {
  const QVariant v = settings_->value(keyPath(section, key));
  if (!v.isValid()) return std::nullopt;
  const QByteArray bytes = v.toByteArray();
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void QtSettings::writeBinary(const std::string& section, const std::string& key, const std::vector<uint8_t>& value) {
  settings_->setValue(keyPath(section, key),
                      QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size())));
  settings_->sync();
}

}  // namespace lw
