#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/codes.h"
#include "link/adapter_answer.h"
#include "link/block_write.h"
#include "link/read_back.h"
#include "tests/programming/programming_rig.h"
#include "tests/programming/test_helpers.h"

namespace lw::test {
namespace {

struct OpenRig : Rig {
  OpenRig() { adapter.connect(0, 0, 1); }
  int write(uint8_t command, const std::vector<uint8_t>& data) {
    return blockWrite(ctx(), command, data.data(), 0, static_cast<uint32_t>(data.size()));
  }
};

TEST(BlockWrite, SplitsIntoPaddedReportsOf128DataBytes) {
  for (uint8_t featureLength : {uint8_t{129}, uint8_t{200}}) {
    OpenRig rig;
    rig.adapter.device().featureReportLength = featureLength;
    const auto data = pattern(300);
    EXPECT_EQ(rig.write(cmd::kWriteCode, data), 1);

    ASSERT_EQ(rig.adapter.blocks.size(), 1u);
    const BlockRecord& block = rig.adapter.blocks[0];
    EXPECT_EQ(block.byteCount, 300u);
    EXPECT_EQ(block.address, 0u);
    ASSERT_EQ(block.reports.size(), 3u);
    const std::size_t sizes[] = {128, 128, 44};
    std::size_t offset = 0;
    for (int i = 0; i < 3; ++i) {
      const auto& r = block.reports[i];
      ASSERT_EQ(r.size(), featureLength);
      EXPECT_EQ(r[0], 0);  // report ID
      EXPECT_TRUE(std::equal(r.begin() + 1, r.begin() + 1 + sizes[i], data.begin() + offset));
      EXPECT_TRUE(std::all_of(r.begin() + 1 + sizes[i], r.end(), [](uint8_t b) { return b == 0; }));
      offset += sizes[i];
    }
    EXPECT_EQ(rig.host.progress, (std::vector<int>{42, 85, 100, 100, -1}));
    EXPECT_GE(rig.loop.dispatches, 3);
  }
}

TEST(BlockWrite, AnnouncesTheBlockWithItsSum) {
  OpenRig rig;
  rig.adapter.ice().params[40] = 0x55;  // stale parameter bytes are cleared
  EXPECT_EQ(rig.write(cmd::kWriteOptions, {0x01, 0x02, 0xFF}), 1);
  const BlockRecord& block = rig.adapter.blocks.at(0);
  EXPECT_EQ(block.command, cmd::kWriteOptions);
  EXPECT_EQ(block.sumLow, 0x02);
  EXPECT_EQ(block.sumHigh, 0x01);
  EXPECT_EQ(rig.adapter.ice().params[40], 0);
}

TEST(BlockWrite, EmptyBlockStillAnnouncesAndReadsTheAnswer) {
  OpenRig rig;
  EXPECT_EQ(blockWrite(rig.ctx(), cmd::kWriteOptions, nullptr, 0, 0), 1);
  EXPECT_EQ(rig.adapter.count("write 26 0"), 1);
  EXPECT_TRUE(rig.adapter.blocks.at(0).reports.empty());
  EXPECT_EQ(rig.adapter.count("readInput"), 1);
  EXPECT_EQ(rig.host.progress, (std::vector<int>{100, -1}));
}

TEST(BlockWrite, FailsWithoutStartingWhenItCannot) {
  {
    Rig rig;  // no adapter open
    const auto data = pattern(10);
    EXPECT_EQ(blockWrite(rig.ctx(), cmd::kWriteCode, data.data(), 0, 10), 0);
    EXPECT_EQ(rig.adapter.count("write"), 0);
  }
  {
    OpenRig rig;  // the Link library refuses the block
    rig.adapter.writeResult = 3;
    EXPECT_EQ(rig.write(cmd::kWriteCode, pattern(10)), 0);
    EXPECT_EQ(rig.adapter.count("readInput"), 0);
  }
  {
    OpenRig rig;  // feature reports too short for 128 data bytes: nothing announced
    rig.adapter.device().featureReportLength = 65;
    EXPECT_EQ(rig.write(cmd::kWriteCode, pattern(10)), 0);
    EXPECT_EQ(rig.adapter.count("write"), 0);
  }
}

TEST(BlockWrite, RejectedReportStopsTheTransferAndTheAnswerDecides) {
  OpenRig rig;
  rig.adapter.rejectBlockReportsFrom = 1;
  rig.adapter.answers[cmd::kWriteCode].push_back({3, 0});
  EXPECT_EQ(rig.write(cmd::kWriteCode, pattern(400)), 0);
  EXPECT_EQ(rig.adapter.blocks[0].reports.size(), 1u);
  EXPECT_EQ(boxTexts(rig.boxes), std::vector<std::string>{"DUT is no response!"});
  EXPECT_EQ(rig.boxes.shown[0].owner, BoxOwner::None);
  EXPECT_EQ(rig.host.progress, (std::vector<int>{32, 100, -1}));
}

TEST(BlockWrite, QuitDuringTheTransferEndsItAtOnce) {
  OpenRig rig;
  rig.loop.quitting = true;
  EXPECT_EQ(rig.write(cmd::kWriteCode, pattern(300)), 0);
  EXPECT_EQ(rig.adapter.blocks[0].reports.size(), 1u);
  EXPECT_EQ(rig.adapter.count("readInput"), 0);
  EXPECT_EQ(rig.adapter.count("disconnect"), 0);  // the adapter stays open
  EXPECT_EQ(rig.host.progress, (std::vector<int>{42}));
}

TEST(BlockWrite, ProgressOffsetIsAddedCappedAndUsedOnce) {
  OpenRig rig;
  rig.app.state.part.progressOffset = 30;
  EXPECT_EQ(rig.write(cmd::kWriteCode, pattern(300)), 1);
  EXPECT_EQ(rig.host.progress, (std::vector<int>{72, 100, 100, 100, -1}));
  EXPECT_EQ(rig.app.state.part.progressOffset, 0u);
}

TEST(BlockWrite, AdapterClosedBetweenReportsEndsTheTransfer) {
  OpenRig rig;
  rig.loop.onDispatch = [&] { rig.adapter.disconnect(); };
  EXPECT_EQ(rig.write(cmd::kWriteCode, pattern(300)), 0);
  EXPECT_EQ(rig.adapter.blocks[0].reports.size(), 1u);
  EXPECT_EQ(rig.adapter.staleHandleUses, 0);
}

TEST(ReadAnswer, CopiesTheReportAfterItsIdAndTimesOut) {
  OpenRig rig;
  AnswerBuffer buffer;
  buffer.fill(0xAA);
  // Nothing queued: the read times out, is cancelled, and leaves the buffer.
  EXPECT_EQ(readAnswer(rig.ctx(), buffer), err::kWaitTimeout);
  EXPECT_EQ(rig.adapter.cancelCount, 1);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xAA; }));
  EXPECT_TRUE(contains(rig.adapter.logSnapshot(), "readInput 4000"));

  rig.adapter.ice().requestTag = 0x3C;
  rig.adapter.answers[cmd::kConnectTarget].push_back({0x0102, 3300});
  rig.adapter.sendCommand(cmd::kConnectTarget, 1);
  EXPECT_EQ(readAnswer(rig.ctx(), buffer), 0u);
  const AnswerReport a = parseAnswer(buffer);
  EXPECT_EQ(a.tag, 0x3C);
  EXPECT_EQ(a.status, 0x0102);
  EXPECT_EQ(a.millivolts, 3300);
  EXPECT_EQ(buffer[63], 0);  // 64 bytes from a 65-byte report

  // Input reports longer than the answer buffer are cut to fit.
  rig.adapter.inputLength = 100;
  rig.adapter.device().inputReportLength = 100;
  rig.adapter.sendCommand(cmd::kConnectTarget, 1);
  EXPECT_EQ(readAnswer(rig.ctx(), buffer), 0u);

  ScriptedAnswer failing;
  failing.readError = err::kDeviceNotConnected;
  rig.adapter.answers[cmd::kErase].push_back(failing);
  rig.adapter.sendCommand(cmd::kErase, 1);
  buffer.fill(0x11);
  EXPECT_EQ(readAnswer(rig.ctx(), buffer), err::kDeviceNotConnected);
  EXPECT_EQ(buffer[0], 0x11);
}

TEST(RequestTag, DependsOnSecondsAndTicks) {
  ManualClock clock;
  IceRecord* ice = new IceRecord{};
  clock.setCalendarSeconds(1234);
  clock.advance(0x105);
  makeRequestTag(*ice, clock);
  std::srand(1234);
  const unsigned expected = (0x05u * (static_cast<unsigned>(std::rand()) & 0xFF)) & 0xFF;
  EXPECT_EQ(ice->requestTag, expected);
  delete ice;
}


// ---- Read-back -------------------------------------------------------------

// A reading library that reports each quarter and then waits until the
// user-interface thread has dispatched its events since, so the test shows
// events are dispatched while the read runs.
std::atomic<int> dispatchesSeen{0};
int quarterReads(uint32_t, uint8_t* destination, uint32_t, uint32_t n, ReadProgressFn progress, void* context) {
  for (uint32_t q = 1; q <= 4; ++q) {
    const int before = dispatchesSeen.load();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (dispatchesSeen.load() == before && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (progress(context, n * q / 4, n) != 0) return static_cast<int>(err::kOperationAborted);
  }
  std::fill_n(destination, n, 0xA5);
  return 0;
}

TEST(ReadBack, WindowDispatchesAndShowsVerifyProgressUntilTheReadEnds) {
  OpenRig rig;
  rig.ctx().link.readDataProgress = quarterReads;
  rig.loop.onDispatch = [] { ++dispatchesSeen; };
  const ReadBackResult read = readBack(rig.ctx(), cmd::kReadTarget, 400);
  EXPECT_EQ(read.code, 0);
  EXPECT_FALSE(read.quitting);
  EXPECT_EQ(rig.adapter.ice().readBack[399], 0xA5);
  EXPECT_GE(rig.loop.dispatches, 4);
  const std::vector<int>& shown = rig.host.verifyProgress;
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), 0);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end() - 1));
  EXPECT_EQ(shown.end()[-2], 100);
  EXPECT_EQ(shown.back(), -1) << "the bar is gone when the read has ended";
  EXPECT_TRUE(rig.host.progress.empty()) << "the block write's bar is not used";

  // Closing the window stops the read at its next report.
  rig.host.verifyProgress.clear();
  rig.loop.quitting = true;
  const ReadBackResult cut = readBack(rig.ctx(), cmd::kReadTarget, 400);
  EXPECT_TRUE(cut.quitting);
  EXPECT_EQ(cut.code, static_cast<int>(err::kOperationAborted));
  EXPECT_EQ(rig.host.verifyProgress.back(), -1);

  // A library without progress reports still reads, with the bar at 0 until the end.
  rig.loop.quitting = false;
  rig.host.verifyProgress.clear();
  rig.ctx().link.readDataProgress = nullptr;
  EXPECT_EQ(readBack(rig.ctx(), cmd::kReadTarget, 16).code, 0);
  EXPECT_EQ(rig.host.verifyProgress, (std::vector<int>{0, 100, -1}));
  rig.loop.onDispatch = nullptr;
}

}  // namespace
}  // namespace lw::test
