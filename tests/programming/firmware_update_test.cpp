#include <gtest/gtest.h>

#include <atomic>

#include "core/byte_sum.h"
#include "tests/programming/programming_rig.h"
#include "tests/programming/test_helpers.h"

namespace lw::test {
namespace {

using Strings = std::vector<std::string>;
constexpr char kUpdateModePath[] = R"(\\?\HID#VID_0E6A&PID_030B#7&2f&0&0000)";

// An adapter with mismatched firmware that restarts into its update mode on
// command 9 and leaves the bus when told to restart.
struct UpdateRig : Rig {
  explicit UpdateRig(FirmwareUpdateTimings timings = {}) : Rig(timings) {
    adapter.mismatch = 1;
    adapter.firmware = pattern(1000, 3);
    adapter.updateModeAppearsAfter = 2;
    adapter.onReset = [this] {
      loop.post([this] { operations->onDeviceRemoval(kUpdateModePath); });
    };
    host.view.bytes = pattern(100);
    answerPromptsWithOk();
  }
  std::vector<uint8_t> endReport() {
    for (const auto& r : adapter.firmwareReports)
      if (r[1] == 0x22) return r;
    return {};
  }
};

TEST(FirmwareUpdate, UpdatesTheAdapterFromUpdateTarget) {
  UpdateRig rig;
  rig.operations->updateTarget();
  ASSERT_TRUE(rig.promptEnded);
  ASSERT_TRUE(rig.finishUpdate());

  // The run stopped at the adapter check; the update ran behind the prompt.
  EXPECT_TRUE(contains(rig.adapter.logSnapshot(), "send 9 20 86"));
  EXPECT_EQ(rig.adapter.count("send 37"), 0);
  EXPECT_EQ(rig.adapter.updateModeConnectAttempts, 3);
  EXPECT_EQ(rig.adapter.receivedFirmware, rig.adapter.firmware);

  // start, 16 data reports (15 of 64 bytes, one of 40), end, reset
  const auto& reports = rig.adapter.firmwareReports;
  ASSERT_EQ(reports.size(), 19u);
  for (const auto& r : reports) EXPECT_EQ(r.size(), 65u);
  EXPECT_EQ(std::vector<uint8_t>(reports[0].begin(), reports[0].begin() + 9),
            (std::vector<uint8_t>{0, 0x33, 0, 0, 0, 0x00, 0x03, 0xE8, 0}));
  const auto end = rig.endReport();
  EXPECT_EQ(std::vector<uint8_t>(end.begin(), end.begin() + 9), (std::vector<uint8_t>{0, 0x22, 0, 0, 0, 0, 0, 2, 0}));
  EXPECT_EQ(reports[18][1], 0x44);

  // 500 ms detection pause, two failed openings, the 50 ms erase pause and
  // the 3 s pause before the result box.
  EXPECT_EQ(rig.clock.tickCountMs(), 500u + 2000u + 50u + 3000u);

  const auto& progress = rig.host.progress;
  ASSERT_GE(progress.size(), 4u);
  EXPECT_EQ(progress.front(), 0);
  EXPECT_EQ(progress[progress.size() - 2], 100);
  EXPECT_EQ(progress.back(), -1);
  for (std::size_t i = 1; i + 2 < progress.size(); ++i) EXPECT_GT(progress[i], progress[i - 1] + 1);

  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether is upgraded !"});
  EXPECT_EQ(rig.boxes.shown[0].caption, "Pass !");
  EXPECT_EQ(rig.app.state.firmwareUpdateRunning, 0);
  EXPECT_EQ(rig.app.state.startupFirmwareUpdateFlag, 0);
  EXPECT_FALSE(rig.operations->busyFlag());
  EXPECT_EQ(rig.host.currentStatus(), "");  // emptied by the result

  // The prompt was told to end only after the worker had closed the
  // adapter, so the run's own disconnect came after it.
  ASSERT_FALSE(rig.logAtPromptEnd.empty());
  EXPECT_EQ(rig.logAtPromptEnd.back(), "disconnect");
  EXPECT_EQ(rig.adapter.count("disconnect"), 3);  // worker twice, then the run
  EXPECT_EQ(rig.adapter.staleHandleUses, 0);
}

// The 3 s before "Tether is upgraded !" dispatch events (the prompt
// animates to its end, the window paints) and take no command meanwhile.
TEST(FirmwareUpdate, PauseBeforeTheResultKeepsDispatchingUnderTheLock) {
  Rig rig;
  rig.app.state.firmwareUpdateRunning = 1;
  int lockedDispatches = 0;
  rig.loop.onDispatch = [&] {
    if (rig.host.runningDepth == 1 && rig.boxes.shown.empty() && rig.host.currentStatus().empty()) ++lockedDispatches;
  };
  rig.operations->handleUpdateMessage(update_msg::kDone, 0, 0);
  EXPECT_GE(lockedDispatches, 100) << "every 20 ms of the 3 s";
  EXPECT_EQ(rig.clock.tickCountMs(), 3000u);
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether is upgraded !"});
  EXPECT_EQ(rig.host.runningDepth, 0);
  EXPECT_EQ(rig.app.state.firmwareUpdateRunning, 0);
}

TEST(FirmwareUpdate, SwappedChecksumEchoFailsWithAMessage) {
  UpdateRig rig;
  rig.adapter.swapChecksumEcho = true;
  rig.operations->updateTarget();
  ASSERT_TRUE(rig.promptEnded);
  ASSERT_TRUE(rig.finishUpdate());
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Firmware download to the Tether failed !"});
  EXPECT_EQ(rig.boxes.shown[0].caption, "Error !");
  EXPECT_NE(rig.adapter.firmwareReports.back()[1], 0x44);  // no restart after a bad download
  EXPECT_EQ(rig.app.state.firmwareUpdateRunning, 0);
  EXPECT_EQ(rig.logAtPromptEnd.back(), "disconnect");
}

TEST(FirmwareUpdate, GivesUpWhenNoUpdateModeAdapterAppears) {
  UpdateRig rig;
  rig.adapter.command9EntersUpdateMode = false;
  rig.operations->updateTarget();
  ASSERT_TRUE(rig.promptEnded);
  ASSERT_TRUE(rig.finishUpdate());
  EXPECT_EQ(rig.adapter.updateModeConnectAttempts, 60);
  EXPECT_EQ(rig.clock.tickCountMs(), 500u + 60000u);
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"No Tether in firmware update mode was found !"});
  EXPECT_EQ(rig.app.state.firmwareUpdateRunning, 0);
}

TEST(FirmwareUpdate, RefusedCommand9EndsThePromptWithAMessage) {
  UpdateRig rig;
  rig.adapter.sendResults[9] = 1;
  rig.operations->updateTarget();
  ASSERT_TRUE(rig.promptEnded);
  ASSERT_TRUE(rig.finishUpdate());
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether did not enter the firmware update mode !"});
  EXPECT_EQ(rig.adapter.updateModeConnectAttempts, 0);
  EXPECT_EQ(rig.app.state.firmwareUpdateRunning, 0);
}

TEST(FirmwareUpdate, StartupFlagUsesTheSwitchReport) {
  UpdateRig rig;
  rig.adapter.needsUpdatePresent = true;
  rig.operations->startupProbe();
  ASSERT_TRUE(rig.promptEnded);
  ASSERT_TRUE(rig.finishUpdate());
  EXPECT_EQ(rig.host.prompts, std::vector<int>{1});
  EXPECT_EQ(rig.adapter.count("send 9"), 0);
  ASSERT_EQ(rig.adapter.switchReports.size(), 1u);
  std::vector<uint8_t> expected(65, 0);
  expected[0] = 0x0C;
  expected[1] = 0x44;
  EXPECT_EQ(rig.adapter.switchReports[0], expected);
  EXPECT_EQ(rig.adapter.receivedFirmware, rig.adapter.firmware);
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether is upgraded !"});
  EXPECT_EQ(rig.app.state.startupFirmwareUpdateFlag, 0);
  // 200 ms after the switch report, two failed openings, 50 ms, 3 s.
  EXPECT_EQ(rig.clock.tickCountMs(), 200u + 2000u + 50u + 3000u);
}

TEST(FirmwareUpdate, RefusedDataReportsAreRetried) {
  {
    UpdateRig rig;
    rig.adapter.rejectFirmwareDataTimes = 3;
    rig.operations->updateTarget();
    ASSERT_TRUE(rig.finishUpdate());
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether is upgraded !"});
    EXPECT_EQ(rig.clock.tickCountMs(), 500u + 2000u + 50u + 3u * 8u + 3000u);
  }
  {
    UpdateRig rig;  // one refusal more than the retries allow
    rig.adapter.rejectFirmwareDataTimes = 501;
    rig.operations->updateTarget();
    ASSERT_TRUE(rig.finishUpdate());
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Firmware download to the Tether failed !"});
    EXPECT_EQ(rig.adapter.rejectFirmwareDataTimes, 0);
  }
}

TEST(FirmwareUpdate, RestartAndCloseFailures) {
  {
    FirmwareUpdateTimings quick;
    quick.leaveWaitMs = 20;
    UpdateRig rig(quick);  // restart refused and the adapter never leaves
    rig.adapter.resetAccepted = false;
    rig.operations->updateTarget();
    ASSERT_TRUE(rig.finishUpdate());
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether reset to AP fail !"});
    EXPECT_EQ(rig.adapter.cancelCount, 1);
    EXPECT_EQ(rig.app.state.firmwareUpdateRunning, 0);
    EXPECT_EQ(rig.app.state.startupFirmwareUpdateFlag, 0);
  }
  {
    UpdateRig rig;  // closing the restarted adapter fails
    rig.adapter.disconnectResult = 1;
    rig.operations->updateTarget();
    ASSERT_TRUE(rig.finishUpdate());
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Close Tether fail !"});
  }
  {
    UpdateRig rig;  // without device notifications the worker does not wait
    rig.host.registered = false;
    rig.adapter.onReset = nullptr;
    rig.operations->updateTarget();
    ASSERT_TRUE(rig.finishUpdate());
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether is upgraded !"});
    EXPECT_EQ(rig.adapter.cancelCount, 1);
  }
}

TEST(FirmwareUpdate, DownloadThatCannotRunFails) {
  {
    UpdateRig rig;  // reports too short to carry the download
    rig.adapter.updateFeatureLength = 8;
    rig.operations->updateTarget();
    ASSERT_TRUE(rig.finishUpdate());
    EXPECT_TRUE(rig.adapter.firmwareReports.empty());
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Firmware download to the Tether failed !"});
  }
  {
    UpdateRig rig;  // no image in the Link library: the adapter is not switched
    rig.adapter.firmware.clear();
    rig.operations->updateTarget();
    ASSERT_TRUE(rig.promptEnded);
    ASSERT_TRUE(rig.finishUpdate());
    EXPECT_EQ(rig.adapter.count("send 9"), 0);
    EXPECT_EQ(rig.adapter.updateModeConnectAttempts, 0);
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Firmware download to the Tether failed !"});
    EXPECT_EQ(rig.app.state.firmwareUpdateRunning, 0);
  }
}

TEST(FirmwareUpdate, StoppingTheUpdaterDoesNotWaitOutTheRestart) {
  UpdateRig rig;
  rig.adapter.onReset = nullptr;  // the update-mode adapter never seems to leave
  rig.adapter.connect(0, 0, 1);
  std::thread stopper;
  std::atomic<bool> stopping{false};
  std::atomic<bool> started{false};
  rig.adapter.onEndAnswer = [&] {
    // The program ends as the download finishes: the updater is stopped
    // before its worker reaches the restart and the wait that follows it.
    // The program stops it from the thread that started it, so only after
    // the start has returned (a fast worker can get here before).
    stopper = std::thread([&] {
      while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      rig.operations.reset();
    });
    stopping = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  };
  const auto start = std::chrono::steady_clock::now();
  rig.operations->startFirmwareUpdate(nullptr);
  started = true;
  while (!stopping && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(stopping);
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(rig.adapter.firmwareReports.back()[1], 0x44);  // it got as far as the restart
}

}  // namespace
}  // namespace lw::test
