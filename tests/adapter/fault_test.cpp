// Every fault of faults.ini, seen from the program's side: which result the
// entry point or the answer read gives.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>

#include "core/codes.h"
#include "core/text.h"
#include "tests/adapter/link_module.h"
#include "tests/adapter/notes.h"

namespace lw::test {
namespace {

using Ms = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

class Faults : public LinkTest {
 protected:
  // Runs the steps of Update Target up to the named one and returns that
  // step's answer (the earlier steps must work).
  wire::Answer answerAt(const std::string& step) {
    wire::Answer a;
    EXPECT_EQ(link.connect(0, 0, 1), 0);
    EXPECT_EQ(command(37, 0x19, 0x37, a), 0u);
    if (step == "connect") return a;
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(command(35, 43, 0, a), 0u);
    if (step == "part_check") return a;
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(command(13, 0, 0, a), 0u);
    if (step == "erase") return a;
    EXPECT_EQ(a.status, 0);
    const BlockResult r = blockWrite(cmd::kWriteCode, std::vector<uint8_t>(200, 0x3C));
    EXPECT_EQ(r.readResult, 0u);
    return r.answer;
  }
};

TEST_F(Faults, EachStatusAtEachStepReachesTheProgram) {
  for (const char* step : {"connect", "part_check", "erase", "block_write"}) {
    for (uint16_t status : {1, 2, 3, 4, 5, 6, 7, 0x1234}) {
      faults(format("%s.status = %u\n", step, status));
      const wire::Answer a = answerAt(step);
      EXPECT_EQ(a.status, status) << step;
      EXPECT_EQ(a.tag, tag) << step;
      EXPECT_EQ(a.millivolts, 3300) << step;
    }
  }
  // A forced failure has no effect: the erase did not erase.
  faults("");
  EXPECT_EQ(answerAt("block_write").status, 0);
  faults("erase.status = 5\n");
  EXPECT_EQ(answerAt("erase").status, 5);
  EXPECT_EQ(dir.readBytes("target-flash.bin")[0], 0x3C);
}

TEST_F(Faults, TargetMissingWrongOrBadlySupplied) {
  faults("no_target = yes\n");
  EXPECT_EQ(answerAt("connect").status, wire::status::kNoResponse);
  faults("");
  dir.write("target.ini", "present = no\n");
  EXPECT_EQ(answerAt("connect").status, wire::status::kNoResponse);
  dir.write("target.ini", "present = yes\n");

  faults("wrong_part = yes\n");
  EXPECT_EQ(answerAt("part_check").status, wire::status::kFailed);

  for (uint16_t mv : {1900, 3601, 3700, 5600}) {
    faults(format("millivolts = %u\n", mv));
    const wire::Answer a = answerAt("connect");
    EXPECT_EQ(a.status, wire::status::kVoltage) << mv;
    EXPECT_EQ(a.millivolts, mv);
  }
  faults("millivolts = 3600\n");
  EXPECT_EQ(answerAt("connect").status, 0) << "the top of the window is inside it";

  // A read-protected part: status 6 at the part check, gone after the erase.
  faults("");
  dir.write("target.ini", "protected = yes\n");
  EXPECT_EQ(answerAt("part_check").status, wire::status::kProtected);
  EXPECT_NE(dir.read("target.ini").find("protected = yes"), std::string::npos);
  wire::Answer a;
  ASSERT_EQ(command(13, 0, 0, a), 0u);
  EXPECT_EQ(a.status, 0);
  EXPECT_NE(dir.read("target.ini").find("protected = no"), std::string::npos);
}

TEST_F(Faults, NoAnswerTimesOutAfterFourSecondsAndNoLater) {
  faults("connect.answer = none\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  wire::Answer a;
  const auto start = SteadyClock::now();
  EXPECT_EQ(command(37, 0x19, 0x37, a, 4000), err::kWaitTimeout);
  const auto took = std::chrono::duration_cast<Ms>(SteadyClock::now() - start).count();
  EXPECT_GE(took, 3990);
  EXPECT_LT(took, 4600);

  for (const char* step : {"part_check", "erase", "block_write"}) {
    faults(format("%s.answer = none\n", step));
    ASSERT_EQ(link.connect(0, 0, 1), 0);
    ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
    if (std::string(step) == "part_check") {
      EXPECT_EQ(command(35, 43, 0, a, 150), err::kWaitTimeout);
      continue;
    }
    ASSERT_EQ(command(35, 43, 0, a), 0u);
    if (std::string(step) == "erase") {
      EXPECT_EQ(command(13, 0, 0, a, 150), err::kWaitTimeout);
      continue;
    }
    ASSERT_EQ(command(13, 0, 0, a), 0u);
    EXPECT_EQ(blockWrite(cmd::kWriteCode, {1, 2, 3}, 150).readResult, err::kWaitTimeout);
  }
}

TEST_F(Faults, WrongTagShortLongAndGarbageAnswers) {
  faults("part_check.answer = wrong-tag\n");
  wire::Answer a = answerAt("part_check");
  EXPECT_NE(a.tag, tag);
  EXPECT_EQ(a.status, 0);

  // A short answer after the part check: the read fails with 13.
  faults("part_check.answer = short\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
  EXPECT_EQ(command(35, 43, 0, a), err::kInvalidData);

  faults("erase.answer = long\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
  ASSERT_EQ(command(35, 43, 0, a), 0u);
  EXPECT_EQ(command(13, 0, 0, a), err::kInvalidData);

  // Garbage never reads as a good answer: wrong tag and a non-zero status.
  faults("block_write.answer = garbage\nconnect.answer = garbage\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
  EXPECT_NE(a.tag, tag);
  EXPECT_NE(a.status, 0);
  faults("block_write.answer = garbage\n");
  a = answerAt("block_write");
  EXPECT_NE(a.tag, tag);
  EXPECT_NE(a.status, 0);
}

TEST_F(Faults, RejectedReportStopsTheTransferAndTheAdapterSaysIncomplete) {
  faults("reject_report = 3\n");
  readyTarget();
  const auto start = SteadyClock::now();
  const BlockResult r = blockWrite(cmd::kWriteCode, std::vector<uint8_t>(1000, 0x11));
  EXPECT_EQ(r.stoppedAtReport, 2);
  EXPECT_EQ(r.reportError, err::kGenFailure);
  ASSERT_EQ(r.readResult, 0u);
  EXPECT_EQ(r.answer.status, wire::status::kIncomplete);
  EXPECT_EQ(r.answer.tag, tag);
  const auto took = std::chrono::duration_cast<Ms>(SteadyClock::now() - start).count();
  EXPECT_GE(took, 950);
  EXPECT_LT(took, 2000);
  EXPECT_EQ(dir.readBytes("target-flash.bin")[0], 0xFF) << "nothing of the broken block is kept";
}

TEST_F(Faults, CorruptedByteShowsInTheReadBackOnly) {
  faults("corrupt_at = 0x100\n");
  readyTarget();
  std::vector<uint8_t> code(512);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i);
  const BlockResult r = blockWrite(cmd::kWriteCode, code);
  ASSERT_EQ(r.readResult, 0u);
  EXPECT_EQ(r.answer.status, 0) << "the adapter received the block intact";
  ASSERT_EQ(link.readData(cmd::kReadTarget, link.ice->readBack, 0, 512), 0);
  for (std::size_t i = 0; i < code.size(); ++i)
    if (i == 0x100) EXPECT_NE(link.ice->readBack[i], code[i]);
    else ASSERT_EQ(link.ice->readBack[i], code[i]) << i;
  EXPECT_EQ(dir.readBytes("target-flash.bin")[0x100], link.ice->readBack[0x100]);
}

TEST_F(Faults, FirmwareMismatchAndNoStorage) {
  faults("firmware_mismatch = yes\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  uint32_t mismatch = 0;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_NE(mismatch, 0u);

  faults("no_storage = yes\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  link.iceBytes[kIceStorageFlag] = 1;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_EQ(mismatch, 0u);
  EXPECT_EQ(link.iceBytes[kIceStorageFlag], 0);
  EXPECT_EQ(blockWrite(cmd::kWriteOfflineHeader, std::vector<uint8_t>(77)).writeResult, err::kGenFailure);
  EXPECT_EQ(link.readData(cmd::kReadAdapterCode, link.ice->readBack, 0, 4), static_cast<int>(err::kGenFailure));
}

TEST_F(Faults, BrokenFeatureAnswersFailTheLibraryCalls) {
  const struct {
    const char* fault;
    uint32_t result;
  } cases[] = {{"read.answer = garbage", err::kInvalidData}, {"read.answer = short", err::kInvalidData},
               {"read.answer = long", err::kInvalidData},    {"read.answer = wrong-tag", err::kInvalidData},
               {"read.answer = none", err::kGenFailure}};
  for (const auto& c : cases) {
    faults(std::string(c.fault) + "\n");
    ASSERT_EQ(link.connect(0, 0, 1), 0);
    wire::Answer a;
    ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
    std::memset(link.ice->readBack, 0xA7, 300);
    EXPECT_EQ(static_cast<uint32_t>(link.readData(cmd::kReadTarget, link.ice->readBack, 0, 300)), c.result)
        << c.fault;
    EXPECT_EQ(link.ice->readBack[0], 0xA7) << "destination untouched: " << c.fault;
    EXPECT_EQ(link.ice->readBack[299], 0xA7);
  }
  faults("identify.answer = garbage\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  uint32_t mismatch = 5;
  EXPECT_EQ(link.checkFirmware(&mismatch), static_cast<int>(err::kInvalidData));
  EXPECT_EQ(mismatch, 5u);
  EXPECT_EQ(link.checkDevice(), static_cast<int>(err::kInvalidData));
}

TEST_F(Faults, AdapterVanishingMidTransferFailsEverythingAfter) {
  Notes notes;
  const int watch = lw_hid_watch(&Notes::record, &notes);
  ASSERT_NE(watch, 0);
  faults("vanish_after_reports = 6\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  uint32_t mismatch = 0;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);                        // reports 1, 2
  wire::Answer a;
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);                          // 3
  ASSERT_EQ(command(35, 43, 0, a), 0u);                               // 4
  const BlockResult r = blockWrite(cmd::kWriteCode, std::vector<uint8_t>(1000, 0x22));  // 5: ICE_Write, 6: data
  EXPECT_EQ(r.writeResult, 0u);
  EXPECT_EQ(r.stoppedAtReport, 1);
  EXPECT_EQ(r.reportError, err::kDeviceNotConnected);
  EXPECT_EQ(r.readResult, err::kDeviceNotConnected) << "no waiting for a device that left";
  EXPECT_EQ(link.sendCommand(cmd::kReleaseTarget, 1), static_cast<int>(err::kDeviceNotConnected));
  EXPECT_EQ(link.disconnect(), 0);
  EXPECT_EQ(link.connect(0, 0, 1), static_cast<int>(err::kFileNotFound));
  EXPECT_NE(dir.read("adapter.ini").find("connected = no"), std::string::npos);

  const auto seen = notes.waitFor(1);
  ASSERT_FALSE(seen.empty()) << "no removal notification";
  lw_hid_unwatch(watch);
  EXPECT_EQ(seen[0].first, 0);
  EXPECT_EQ(seen[0].second.rfind("\\\\?\\HID#Vid_0e6a&Pid_0325#", 0), 0u);
}

}  // namespace
}  // namespace lw::test
