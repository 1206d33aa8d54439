// read, verify, erase and blank-check against the emulated adapter, as a
// production script runs them.
#include <gtest/gtest.h>

#include <algorithm>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/cli/cli_run.h"
#include "tests/cli/window_loader.h"

namespace lw::test {
namespace {

const std::string kHex = examplePath("blinky.hex");

struct Target {
  ScratchDir work, state;
  CliRun run(std::vector<std::string> args) {
    std::vector<std::string> all = emulatorArgs(state);
    all.insert(all.end(), args.begin(), args.end());
    return runCli(work, all);
  }
  void setTarget(const std::string& line) {
    std::string text = state.read("target.ini");
    const std::string key = line.substr(0, line.find(' '));
    const auto at = text.find("\n" + key + " = ");
    ASSERT_NE(at, std::string::npos) << key;
    text.replace(at + 1, text.find('\n', at + 1) - at - 1, line);
    state.write("target.ini", text);
  }
};

// The done-when of a production line: program, read back, verify the file
// read and the file programmed; then one changed byte fails verify with its
// offset.
TEST(CliTargetCommands, ProgramReadBackAndVerify) {
  Target t;
  ASSERT_EQ(t.run({"program", kHex, "--part", "Larch-F8U6"}).exit, 0);
  const CliRun read = t.run({"--json", "read", "back.hex", "--part", "Larch-F8U6", "--log", "run.csv"});
  ASSERT_EQ(read.exit, 0) << read.err;
  EXPECT_EQ(read.errLines(), std::vector<std::string>{"Pass !: Read Target ok !"});
  EXPECT_EQ(read.json()["size"].toInt(), 0x10000);

  // The file holds the whole flash: the image, then erased bytes.
  const std::vector<uint8_t> image = loadInTheWindow("Larch-F8U6", {{kHex, LoadArea{}}});
  const std::vector<uint8_t> back = loadInTheWindow("Larch-F8U6", {{t.work / "back.hex", LoadArea{}}});
  ASSERT_EQ(back.size(), 0x10000u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), back.begin()));
  EXPECT_TRUE(std::all_of(back.begin() + static_cast<std::ptrdiff_t>(image.size()), back.end(),
                          [](uint8_t b) { return b == 0xFF; }));

  for (const std::string& file : {t.work / "back.hex", kHex}) {
    const CliRun verify = t.run({"verify", file, "--part", "Larch-F8U6", "--log", "run.csv"});
    EXPECT_EQ(verify.exit, 0) << verify.err;
    EXPECT_EQ(verify.errLines(), std::vector<std::string>{"Pass !: Verify Target ok !"});
  }

  std::vector<uint8_t> flash = t.state.readBytes("target-flash.bin");
  flash[0x21] ^= 0x40;
  t.state.writeBytes("target-flash.bin", flash);
  const CliRun differs = t.run({"--json", "verify", kHex, "--part", "Larch-F8U6", "--log", "run.csv"});
  EXPECT_EQ(differs.exit, 1);
  ASSERT_EQ(differs.errLines().size(), 2u) << differs.err;
  EXPECT_EQ(differs.errLines()[0].rfind("Error !: Verify Target failed ! Bytes that differ: 1 ", 0), 0u);
  EXPECT_NE(differs.errLines()[0].find("0x00000021: "), std::string::npos);
  EXPECT_EQ(differs.errLines()[1].rfind("loomwrite-cli: Verify Target failed at verify: 1 byte differs, the first: "
                                        "byte 0x00000021 reads back ",
                                        0),
            0u)
      << differs.errLines()[1];
  const QJsonObject json = differs.json();
  EXPECT_EQ(json["differing_bytes"].toInt(), 1);
  EXPECT_EQ(json["differences"].toArray()[0].toObject()["offset"].toInt(), 0x21);

  // The production log names each command, and the failed verify's reason.
  const std::string log = t.work.read("run.csv");
  EXPECT_NE(log.find(",read,"), std::string::npos);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5);  // the header and four runs
  EXPECT_NE(log.find("Verify Target failed"), std::string::npos);
}

// Erase then blank-check passes; a programmed target is not blank; a
// read-protected target refuses read, verify and blank-check until an
// erase clears its protection.
TEST(CliTargetCommands, EraseBlankCheckAndReadProtection) {
  Target t;
  ASSERT_EQ(t.run({"program", kHex, "--part", "Larch-F8U6"}).exit, 0);
  const CliRun notBlank = t.run({"--json", "blank-check", "--part", "Larch-F8U6"});
  EXPECT_EQ(notBlank.exit, 1);
  EXPECT_FALSE(notBlank.json()["blank"].toBool(true));
  EXPECT_EQ(notBlank.json()["first_non_blank"].toInt(-1), 0);

  t.setTarget("protected = yes");
  const std::string protectedLine =
      "Error !: Target is read-protected, its flash can't be read ! Erase Target clears the protection.";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"read", "x.bin", "--part", "Larch-F8U6"},
        std::vector<std::string>{"verify", kHex, "--part", "Larch-F8U6"},
        std::vector<std::string>{"blank-check", "--part", "Larch-F8U6"}}) {
    const CliRun refused = t.run(args);
    EXPECT_EQ(refused.exit, 1) << args[0];
    ASSERT_FALSE(refused.errLines().empty()) << args[0];
    EXPECT_EQ(refused.errLines()[0], protectedLine) << args[0];
    EXPECT_NE(refused.err.find("failed at read (command 30): the adapter refused the read: status 6 (the flash is "
                               "read-protected)"),
              std::string::npos)
        << refused.err;
  }
  EXPECT_FALSE(t.work.exists("x.bin"));

  ASSERT_EQ(t.run({"erase", "--part", "Larch-F8U6"}).exit, 0);
  const CliRun blank = t.run({"--json", "blank-check", "--part", "Larch-F8U6"});
  EXPECT_EQ(blank.exit, 0) << blank.err;
  EXPECT_TRUE(blank.json()["blank"].toBool());
  EXPECT_EQ(t.state.read("target.ini").find("protected = yes"), std::string::npos);

  // Beyond the part's flash, into a directory that is not there, or over
  // the production log: refused before the target is touched.
  EXPECT_EQ(t.run({"read", "x.bin", "--part", "Larch-F8U6", "--size", "0x10001"}).exit, 2);
  EXPECT_EQ(t.run({"read", "no/such/dir/x.bin", "--part", "Larch-F8U6"}).exit, 2);
  EXPECT_EQ(t.run({"read", "x.bin", "--part", "Larch-F8U6", "--log", "x.bin"}).exit, 2);
  EXPECT_FALSE(t.work.exists("x.bin"));
}

// --json --progress: one line per phase step before the result object.
TEST(CliTargetCommands, ProgressEventsAsJsonLines) {
  Target t;
  const CliRun run = t.run({"--json", "--progress", "program", kHex, "--part", "Larch-F8U6"});
  ASSERT_EQ(run.exit, 0) << run.err;
  std::vector<std::string> phases;
  QJsonObject last;
  for (const QString& line : QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts)) {
    last = QJsonDocument::fromJson(line.toUtf8()).object();
    if (last["event"].toString() != "progress") continue;
    const std::string phase = last["phase"].toString().toStdString();
    if (phases.empty() || phases.back() != phase) phases.push_back(phase);
    EXPECT_LE(last["done"].toInteger(), last["total"].toInteger());
  }
  EXPECT_EQ(phases, (std::vector<std::string>{"connect", "check", "erase", "program", "verify", "options"}));
  EXPECT_TRUE(last["ok"].toBool());  // the result object comes last
}

}  // namespace
}  // namespace lw::test
