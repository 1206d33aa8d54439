#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/context/settings_keys.h"
#include "platform/memory/memory_settings.h"
#include "platform/qt/qt_settings.h"

namespace lw {
namespace {

// The same checks run against both implementations of the store.
void checkDefaultsAndRoundTrip(SettingsPort& s) {
  EXPECT_EQ(settings::checkVersion(s), 2);
  EXPECT_EQ(settings::bodyId(s), -1);
  EXPECT_EQ(settings::loadPath(s), "");
  EXPECT_EQ(settings::kpjSavePath(s), "");
  EXPECT_FALSE(s.readBinary(kSettingsSection, settings::kOptionBytes));

  settings::setCheckVersion(s, 0);
  settings::setBodyId(s, 43);
  settings::setLoadPath(s, "/home/ü/a b.hex");
  settings::setKpjSavePath(s, "/tmp/x.kpj");
  const std::vector<uint8_t> options = {0xFE, 0x00, 0xFF, 0x7F, 0x0A, 0x0D, 0x00, 0x80};
  settings::setOptionBytes(s, options);

  EXPECT_EQ(settings::checkVersion(s), 0);
  EXPECT_EQ(settings::bodyId(s), 43);
  EXPECT_EQ(settings::loadPath(s), "/home/ü/a b.hex");
  EXPECT_EQ(settings::kpjSavePath(s), "/tmp/x.kpj");
  EXPECT_EQ(s.readBinary(kSettingsSection, settings::kOptionBytes), options);
}

TEST(Settings, MemoryStoreDefaultsAndRoundTrip) {
  MemorySettings s;
  checkDefaultsAndRoundTrip(s);
}

TEST(Settings, QtStoreDefaultsRoundTripAndLocation) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  QStandardPaths::setTestModeEnabled(false);
  {
    QtSettings s("loomwrite-settings-test");
    checkDefaultsAndRoundTrip(s);
  }
  // Kept per user, under the organisation and the program's name, in section "Settings".
  QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "Local AppWizard-Generated Applications",
                "loomwrite-settings-test");
  EXPECT_TRUE(raw.fileName().startsWith(home.path())) << raw.fileName().toStdString();
  EXPECT_EQ(raw.value("Settings/BodyID").toInt(), 43);
  EXPECT_EQ(raw.value("Settings/pOR").toByteArray().size(), 8);
}

}  // namespace
}  // namespace lw
