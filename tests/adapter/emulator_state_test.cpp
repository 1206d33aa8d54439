// The emulator's state directory: the files it makes, what it reads back,
// what it does with edits and with bad lines.
#include <gtest/gtest.h>

#include "emulator/fault_config.h"
#include "tests/adapter/emulator_bench.h"

namespace lw::emu {
namespace {

using test::EmulatorBench;

TEST(EmulatorState, FreshDirectoryGetsReadableFiles) {
  EmulatorBench b("");
  for (const char* name : {"adapter.ini", "adapter-firmware.bin", "target.ini", "target-flash.bin",
                           "target-options.txt", "faults.ini"})
    EXPECT_TRUE(std::filesystem::exists(b.dir / name)) << name;
  EXPECT_FALSE(std::filesystem::exists(b.dir / "offline-code.bin")) << "nothing stored yet";
  const auto flash = b.dir.readBytes("target-flash.bin");
  EXPECT_EQ(flash.size(), 0x10000u);
  EXPECT_EQ(std::count(flash.begin(), flash.end(), 0xFF), 0x10000);
  EXPECT_EQ(b.dir.read("target-options.txt"), "FF FF FF FF FF FF FF FF\n");
  const std::string adapter = b.dir.read("adapter.ini");
  EXPECT_NE(adapter.find("mode = normal"), std::string::npos);
  EXPECT_NE(adapter.find("firmware_version = 1.5"), std::string::npos);
  EXPECT_NE(b.dir.read("target.ini").find("part_index = 43"), std::string::npos);
  EXPECT_EQ(b.device->faults(), Faults{}) << "the template turns nothing on";
}

TEST(EmulatorState, WritesSurviveIntoTheNextProcess) {
  EmulatorBench b;
  b.connectTarget();
  ASSERT_EQ(b.block(25, {0x12, 0x34}), 0u);
  ASSERT_EQ(b.answer()->status, 0);
  ASSERT_EQ(b.block(26, {0xA5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), 0u);
  EXPECT_EQ(b.dir.readBytes("target-flash.bin")[1], 0x34);
  EXPECT_EQ(b.dir.read("target-options.txt"), "A5 FF FF FF FF FF FF FF\n");

  AdapterEmulator second(b.dir.path());
  second.refresh(b.now);
  EXPECT_EQ(second.target().flash[0], 0x12);
  EXPECT_EQ(second.target().options[0], 0xA5);
  EXPECT_FALSE(second.targetConnected()) << "a connection does not outlive its process";
}

TEST(EmulatorState, EditsAreNoticedAndPlugTheAdapterInAndOut) {
  EmulatorBench b;
  b.connectTarget();
  b.dir.write("target.ini", "present = no\n");
  b.device->refresh(b.now);
  b.command(35, {43, 0});
  EXPECT_EQ(b.answer()->status, wire::status::kNoResponse) << "taken away after the connect";
  b.command(37, {0x19, 0x37});
  EXPECT_EQ(b.answer()->status, wire::status::kNoResponse);

  b.dir.write("target.ini", "part_index = 44\nmillivolts = 3700\nprotected = yes\n");
  b.device->refresh(b.now);
  b.command(37, {0x19, 0x37});
  auto a = b.answer();
  EXPECT_EQ(a->status, wire::status::kVoltage);
  EXPECT_EQ(a->millivolts, 3700);

  b.dir.write("adapter.ini", "reenumerate_ms = 50\nconnected = no\n");
  b.device->refresh(b.now);
  auto events = b.device->takeBusEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_FALSE(events[0].arrived);
  EXPECT_FALSE(b.device->attached());

  b.dir.write("adapter.ini", "connected = yes\nmode = needs-update\nneeds_update_pid = 0x0331\n");
  b.device->refresh(b.now);
  events = b.device->takeBusEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].arrived);
  EXPECT_EQ(events[0].productId, 0x0331);

  // Unchanged files are not read again: nothing happens.
  b.device->refresh(b.now);
  EXPECT_TRUE(b.device->takeBusEvents().empty());
}

TEST(EmulatorState, BadLinesAreLoggedAndChangeNothing) {
  test::TempDir dir;
  dir.write("adapter.ini", "mode = sleepy\nfirmware_version = 1.5.7\nbogus\n");
  dir.write("target.ini", "part_index = 99999\nmillivolts = lots\n");
  dir.write("target-options.txt", "FF ZZ\n");
  dir.write("target-flash.bin", std::string(100, '\x11'));
  dir.write("faults.ini", "connect.status = 3\nerase.answer = sometimes\nwhat = ever\n");
  AdapterEmulator device(dir.path());
  device.refresh(Clock::now());

  EXPECT_EQ(device.productId(), 0x0325);
  EXPECT_EQ(device.target().partIndex, 43);
  EXPECT_EQ(device.target().millivolts, 3300);
  EXPECT_EQ(device.faults().status[0], 3) << "good lines still count";
  EXPECT_EQ(device.faults().answer[2], AnswerFault::kNormal);

  // A flash file of the wrong size is fitted to the part: kept bytes, 0xFF after.
  const auto flash = dir.readBytes("target-flash.bin");
  ASSERT_EQ(flash.size(), 0x10000u);
  EXPECT_EQ(flash[99], 0x11);
  EXPECT_EQ(flash[100], 0xFF);

  const std::string log = dir.read("emulator.log");
  for (const char* needle : {"adapter.ini:1: mode", "adapter.ini:2: firmware_version", "adapter.ini:3: expected",
                             "target.ini:1: part_index", "target.ini:2: millivolts", "target-options.txt",
                             "target-flash.bin holds 100 bytes", "faults.ini:2: erase.answer",
                             "faults.ini:3: unknown key \"what\""})
    EXPECT_NE(log.find(needle), std::string::npos) << needle;
}

TEST(FaultConfig, EveryKeyIsRead) {
  std::vector<std::string> problems;
  const Faults f = parseFaults(
      "connect.status = 3\npart_check.status = 6\nerase.status = 0x5\nblock_write.status = 1\n"
      "connect.answer = none\npart_check.answer = short\nerase.answer = long\nblock_write.answer = wrong-tag\n"
      "read.answer = garbage\nidentify.answer = none\n"
      "no_target = yes\nwrong_part = on\nmillivolts = 1700\nreject_report = 3\nreject_times = 600\n"
      "corrupt_at = 0x100 # a weak cell\nfirmware_mismatch = 1\nno_storage = true\n"
      "update_mode_never_appears = yes\nswapped_checksum_echo = yes\nvanish_after_reports = 40\n",
      problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(f.status[0], 3);
  EXPECT_EQ(f.status[1], 6);
  EXPECT_EQ(f.status[2], 5);
  EXPECT_EQ(f.status[3], 1);
  EXPECT_EQ(f.answer[0], AnswerFault::kNone);
  EXPECT_EQ(f.answer[1], AnswerFault::kShort);
  EXPECT_EQ(f.answer[2], AnswerFault::kLong);
  EXPECT_EQ(f.answer[3], AnswerFault::kWrongTag);
  EXPECT_EQ(f.answer[4], AnswerFault::kGarbage);
  EXPECT_EQ(f.answer[5], AnswerFault::kNone);
  EXPECT_TRUE(f.noTarget && f.wrongPart && f.firmwareMismatch && f.noStorage && f.updateModeNeverAppears &&
              f.swappedChecksumEcho);
  EXPECT_EQ(f.millivolts, 1700);
  EXPECT_EQ(f.rejectReport, 3u);
  EXPECT_EQ(f.rejectTimes, 600u);
  EXPECT_EQ(f.corruptAt, 0x100u);
  EXPECT_EQ(f.vanishAfterReports, 40u);

  parseFaults("read.status = 3\nmillivolts = 70000\n", problems);
  EXPECT_EQ(problems.size(), 2u) << "reads have no status; millivolts fit 16 bits";
}

}  // namespace
}  // namespace lw::emu
