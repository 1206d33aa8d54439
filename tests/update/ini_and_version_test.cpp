// The INI reader, version numbers and the base URL of the update check.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/ports/settings_port.h"
#include "platform/memory/memory_settings.h"
#include "update/ini_reader.h"
#include "update/update_endpoints.h"
#include "update/version_number.h"

namespace lw {
namespace {

TEST(IniReader, FindsKeysWhateverTheCaseAndLineEnds) {
  const std::string text =
      "\xEF\xBB\xBF; published versions\r\n"
      "[Other]\r\nVersion=9.9.9.9\r\n"
      "# a comment\n"
      "  [ voro0ruza_tether ]  \r\n"
      "  version =  1.4.0.1  \r\n"
      "url=\"http://example.test/a b\"\n"
      "Version=2.0.0.0\n"
      "no equals sign here\n"
      "[Last]\nkey=value";
  EXPECT_EQ(iniValue(text, "VORO0Ruza_Tether", "Version"), "1.4.0.1") << "the first key counts";
  EXPECT_EQ(iniValue(text, "VORO0RUZA_TETHER", "URL"), "http://example.test/a b");
  EXPECT_EQ(iniValue(text, "Other", "Version"), "9.9.9.9");
  EXPECT_EQ(iniValue(text, "last", "KEY"), "value") << "last line without a line end";
  EXPECT_EQ(iniValue(text, "VORO0Ruza_Tether", "Missing"), std::nullopt);
  EXPECT_EQ(iniValue(text, "Missing", "Version"), std::nullopt);
  EXPECT_EQ(iniValue("Version=1.0.0.0\n", "", "Version"), std::nullopt) << "keys before any section belong to none";
  EXPECT_EQ(iniValue("[S]\n;Version=1\n#Version=2\n", "S", "Version"), std::nullopt);
  EXPECT_EQ(iniValue("[S]\nVersion=\n", "S", "Version"), "");
}

TEST(IniReader, ReadsFilesWithinTheBuffer) {
  const auto path = std::filesystem::temp_directory_path() / ("lw-ini-" + std::to_string(::getpid()));
  std::ofstream(path, std::ios::binary) << "[S]\nVersion=1.4.0.1234567890\nName=\xC3\xA9\xC3\xA9\n";
  IniFileReader reader;
  EXPECT_EQ(reader.readString(path.string(), "s", "version", 8), "1.4.0.1") << "capacity counts the terminator";
  EXPECT_EQ(reader.readString(path.string(), "S", "Name", 4), "\xC3\xA9") << "never half a character";
  EXPECT_EQ(reader.readString(path.string(), "S", "Absent", 32), "");
  std::filesystem::remove(path);
  EXPECT_EQ(reader.readString(path.string(), "S", "Version", 32), "") << "a missing file reads as empty";
}

TEST(VersionNumber, PacksLowBytesAndFillsMissingParts) {
  EXPECT_EQ(parseVersion("1.4.0.0"), 0x01040000u);
  EXPECT_EQ(formatVersion(parseVersion("1.4.256.0")), "1.4.0.0");
  EXPECT_EQ(formatVersion(parseVersion("1.4.511.1")), "1.4.255.1");
  EXPECT_EQ(formatVersion(parseVersion("2.1")), "2.1.0.0");
  EXPECT_EQ(formatVersion(parseVersion("3")), "3.0.0.0");
  EXPECT_EQ(formatVersion(parseVersion("1.x.2.3")), "1.0.2.3");
  EXPECT_EQ(formatVersion(parseVersion("")), "0.0.0.0");
  EXPECT_EQ(formatVersion(parseVersion("1.2.3.4.5")), "1.2.3.4");
  EXPECT_LT(parseVersion("1.3.9.9"), parseVersion("1.4.0.0"));
  EXPECT_GT(parseVersion("200.0.0.0"), parseVersion("1.255.255.255")) << "compared unsigned";
}

TEST(UpdateEndpoints, OnlyWebUrlsAndTheOverrideOrder) {
  EXPECT_TRUE(isWebUrl("http://example.test"));
  EXPECT_TRUE(isWebUrl("HTTPS://example.test/a?b#c"));
  EXPECT_FALSE(isWebUrl(""));
  EXPECT_FALSE(isWebUrl("file:///etc/passwd"));
  EXPECT_FALSE(isWebUrl("/usr/bin/xterm"));
  EXPECT_FALSE(isWebUrl("javascript:alert(1)"));
  EXPECT_FALSE(isWebUrl("http://"));
  EXPECT_FALSE(isWebUrl("http:///path"));
  EXPECT_FALSE(isWebUrl("http://host/a b"));
  EXPECT_FALSE(isWebUrl("http://host/\nx"));

  MemorySettings settings;
  EXPECT_EQ(resolveUpdateBaseUrl(settings, nullptr), builtInUpdateBaseUrl());
  settings.writeString(kUpdateSettingsSection, kUpdateBaseUrlKey, "http://mirror.test/");
  EXPECT_EQ(resolveUpdateBaseUrl(settings, nullptr), "http://mirror.test");
  EXPECT_EQ(resolveUpdateBaseUrl(settings, "http://127.0.0.1:8080"), "http://127.0.0.1:8080");
  EXPECT_EQ(resolveUpdateBaseUrl(settings, "ftp://elsewhere"), "http://mirror.test") << "unusable values are passed over";
  settings.writeString(kUpdateSettingsSection, kUpdateBaseUrlKey, "not a url");
  EXPECT_EQ(resolveUpdateBaseUrl(settings, ""), builtInUpdateBaseUrl());

  const UpdateEndpoints e = updateEndpoints("http://h.test");
  EXPECT_EQ(e.versionFile, "http://h.test/upload/media/8051/Tools/tools_version.ini");
  EXPECT_EQ(e.downloadPage, "http://h.test/zh-tw/support/downloadDocument/274/979");
}

}  // namespace
}  // namespace lw
