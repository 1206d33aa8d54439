// loomwrite-cli program-adapter and emulator start against the emulated
// adapter: the production line end to end.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "tests/cli/cli_run.h"

namespace lw::test {
namespace {

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

uint32_t serialAt(const std::vector<uint8_t>& flash, std::size_t at) {
  return flash[at] | (flash[at + 1] << 8) | (flash[at + 2] << 16) | (uint32_t{flash[at + 3]} << 24);
}

TEST(CliProgramAdapter, StoresTheJobWithCorrectionsNamedAndTheStartButtonProgramsTargets) {
  ScratchDir work, state;
  const CliRun stored = runCli(
      work, with(emulatorArgs(state), {"--json", "program-adapter", examplePath("blinky.hex"), "--part", "Larch-F8U6",
                                       "--max-counter", "70000", "--serial-string", "LINE-A", "--serial-number", "100",
                                       "--auto-increment", "--serial-address", "FFF2"}));
  ASSERT_EQ(stored.exit, 0) << stored.err;
  const QJsonObject json = stored.json();
  EXPECT_EQ(json["result"].toString(), "Pass !: Update Programmer ok !");
  EXPECT_EQ(json["max_counter"].toInt(), 65530);
  EXPECT_EQ(json["serial_address"].toString(), "0000FFF0");
  EXPECT_EQ(json["corrections"].toArray().size(), 2);
  EXPECT_NE(stored.err.find("Max Counter 70000 corrected to 65530"), std::string::npos);
  EXPECT_EQ(state.readBytes("offline-header.bin").size(), 77u);

  const CliRun pressed = runCli(work, {"--json", "emulator", "start", state.path().string(), "--times", "3"});
  ASSERT_EQ(pressed.exit, 0) << pressed.err;
  EXPECT_EQ(pressed.json()["programmed_total"].toInt(), 3);
  EXPECT_EQ(pressed.json()["next_serial"].toInt(), 0x103);
  const std::vector<uint8_t> flash = state.readBytes("target-flash.bin");
  EXPECT_EQ(std::string(flash.begin() + 0xFFF0, flash.begin() + 0xFFF6), "LINE-A");
  EXPECT_EQ(serialAt(flash, 0xFFFC), 0x102u);
}

TEST(CliProgramAdapter, RefusalsAndUsage) {
  ScratchDir work, state;
  // A serial string longer than the field: cut, and said so.
  const CliRun cut = runCli(work, with(emulatorArgs(state), {"program-adapter", examplePath("blinky.hex"), "--part",
                                                             "Larch-F8U6", "--max-counter", "1", "--serial-string",
                                                             "SERIAL-NUMBER-0001"}));
  ASSERT_EQ(cut.exit, 0) << cut.err;
  EXPECT_NE(cut.err.find("cut to \"SERIAL-NUMBE\""), std::string::npos) << cut.err;
  EXPECT_EQ(runCli(work, {"emulator", "start", state.path().string()}).exit, 0);
  const CliRun limit = runCli(work, {"emulator", "start", state.path().string()});
  EXPECT_EQ(limit.exit, 1);
  EXPECT_NE(limit.out.find("max counter is reached"), std::string::npos);

  EXPECT_EQ(runCli(work, {"program-adapter", examplePath("blinky.hex"), "--part", "Larch-F8U6", "--max-counter", "x"}).exit,
            2);
  EXPECT_EQ(runCli(work, {"program", examplePath("blinky.hex"), "--part", "Larch-F8U6", "--max-counter", "3"}).exit, 2);
  EXPECT_EQ(runCli(work, {"emulator", "start", (work / "missing")}).exit, 2);
}

TEST(CliProgramAdapter, AVerifyDifferenceAndAnAdapterWithoutStorageFail) {
  ScratchDir work;
  {
    ScratchDir state;
    state.write("faults.ini", "stored_corrupt_at = 5\n");
    const CliRun run = runCli(work, with(emulatorArgs(state), {"program-adapter", examplePath("blinky.hex"), "--part",
                                                               "Larch-F8U6"}));
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.errLines(), (std::vector<std::string>{"Error !: Checksum failed !", "Error !: Update Programmer failed !",
                                                        "loomwrite-cli: Update Programmer failed at verify: byte "
                                                        "0x00000005 reads back 0x01, the image holds 0x00"}));
    EXPECT_NE(runCli(work, {"emulator", "start", state.path().string()}).out.find("does not match"), std::string::npos);
  }
  {
    ScratchDir state;
    state.write("faults.ini", "no_storage = yes\n");
    const CliRun run = runCli(work, with(emulatorArgs(state), {"program-adapter", examplePath("blinky.hex"), "--part",
                                                               "Larch-F8U6"}));
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find("the adapter cannot hold an off-line job"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Update Programmer failed !"), std::string::npos);
  }
}

}  // namespace
}  // namespace lw::test
