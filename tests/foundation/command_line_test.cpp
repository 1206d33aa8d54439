#include <gtest/gtest.h>

#include "app/command_line.h"

namespace lw {
namespace {

TEST(CommandLine, ArgumentCounts) {
  const CommandLine none = parseCommandLine({});
  EXPECT_EQ(none.partName, "");
  EXPECT_EQ(none.filePath, "");
  EXPECT_FALSE(none.firmwareUpdate);

  const CommandLine one = parseCommandLine({"Larch-F8U6"});
  EXPECT_TRUE(one.firmwareUpdate);
  EXPECT_EQ(one.partName, "") << "a single argument is neither a part nor a file";
  EXPECT_EQ(one.filePath, "");

  const CommandLine two = parseCommandLine({"Larch-F8U6", "/tmp/a.hex"});
  EXPECT_FALSE(two.firmwareUpdate);
  EXPECT_EQ(two.partName, "Larch-F8U6");
  EXPECT_EQ(two.filePath, "/tmp/a.hex");
}

TEST(CommandLine, FilePathWordsAreJoinedBySingleSpaces) {
  EXPECT_EQ(parseCommandLine({"Larch-F8U6", "/My", "Files/a.hex"}).filePath, "/My Files/a.hex");
  // A quoted argument keeps its spaces through the shell; runs of them become one.
  EXPECT_EQ(parseCommandLine({"Larch-F8U6", "/My   Files/a  b.hex"}).filePath, "/My Files/a b.hex");
  const CommandLine quotedPart = parseCommandLine({"Larch-F8U6 /x", "y.hex"});
  EXPECT_EQ(quotedPart.partName, "Larch-F8U6");
  EXPECT_EQ(quotedPart.filePath, "/x y.hex");
}

// One existing code or project file is opened (a desktop's "Open with");
// every other single argument still asks for the firmware update.
TEST(CommandLine, OneOpenableFileIsLoadedAndHelpAndVersionAreAnswered) {
  const auto exists = [](const std::string& p) { return p.find("missing") == std::string::npos; };
  for (const char* file : {"/tmp/a.hex", "/tmp/b.BIN", "job.Kpj", "/My Files/c.hex", "fw.elf", "/tmp/a.S19"}) {
    const CommandLine cl = parseCommandLine({file}, exists);
    EXPECT_FALSE(cl.firmwareUpdate) << file;
    EXPECT_EQ(cl.filePath, file);
    EXPECT_EQ(cl.partName, "");
  }
  for (const char* other : {"/tmp/missing.hex", "/tmp/a.txt", "Larch-F8U6", "/tmp/x.hex/dir", "hex", "/tmp/missing.axf"}) {
    const CommandLine cl = parseCommandLine({other}, exists);
    EXPECT_TRUE(cl.firmwareUpdate) << other;
    EXPECT_EQ(cl.filePath, "") << other;
  }
  EXPECT_TRUE(parseCommandLine({std::string(300, 'a') + ".hex"}, exists).pathTooLong);
  EXPECT_EQ(parseCommandLine({"--help"}).request, CommandLineRequest::Help);
  EXPECT_EQ(parseCommandLine({"-h"}).request, CommandLineRequest::Help);
  EXPECT_EQ(parseCommandLine({"--version"}).request, CommandLineRequest::Version);
  EXPECT_FALSE(parseCommandLine({"--help"}).firmwareUpdate);
  EXPECT_EQ(parseCommandLine({"Larch-F8U6", "--help"}).request, CommandLineRequest::Run) << "a file may be named so";
}

// --language is taken in front only; what follows counts as before.
TEST(CommandLine, LanguageInFront) {
  const CommandLine zh = parseCommandLine({"--language", "zh", "Larch-F8U6"});
  EXPECT_EQ(zh.language, 1);
  EXPECT_TRUE(zh.firmwareUpdate) << "one argument after it";
  EXPECT_EQ(parseCommandLine({"--language=EN"}).language, 0);
  EXPECT_FALSE(parseCommandLine({"--language=zh"}).firmwareUpdate);
  EXPECT_EQ(parseCommandLine({"--language", "fr"}).error, "--language needs en|zh, not 'fr'");
  EXPECT_EQ(parseCommandLine({"--language"}).error, "--language needs en|zh");
  const CommandLine later = parseCommandLine({"Larch-F8U6", "--language", "zh"});
  EXPECT_FALSE(later.language.has_value());
  EXPECT_EQ(later.filePath, "--language zh");
}

TEST(CommandLine, PathLimitIs260Units) {
  const std::string fits(259, 'a');
  EXPECT_FALSE(parseCommandLine({"P", fits}).pathTooLong);
  EXPECT_EQ(parseCommandLine({"P", fits}).filePath, fits);
  EXPECT_TRUE(parseCommandLine({"P", std::string(260, 'a')}).pathTooLong);
  // 130 two-byte characters are 130 units, not 260 bytes.
  std::string wide;
  for (int i = 0; i < 130; ++i) wide += "é";
  EXPECT_FALSE(parseCommandLine({"P", wide}).pathTooLong);
}

}  // namespace
}  // namespace lw
