// The adapter firmware check and update against the emulated adapter: the
// prompt on a mismatch, the worker's download into the adapter in its
// firmware-update mode, the restart noticed through the HID device watch,
// and the failures the worker reports. Device arrivals come from the
// emulator changing its mode, through the real device watch.
#include <gtest/gtest.h>

#include <chrono>

#include "core/codes.h"
#include "core/text.h"
#include "link/link_api.h"
#include "tests/end_to_end/e2e_rig.h"
#include "ui/main/main_dialog.h"

namespace lw::e2e {
namespace {

constexpr char kBlinky[] = LW_SOURCE_DIR "/examples/blinky.hex";
constexpr char kUpgraded[] = "Tether is upgraded !";

// Sleeps of the firmware update take a twentieth of their time for real,
// so the emulated adapter has time to come back in its next mode.
RigOptions updateOptions(const std::string& adapterIni, const std::string& faults = "") {
  RigOptions o;
  o.adapterIni = adapterIni;
  o.faultsIni = faults;
  o.clockRealDivisor = 20;
  return o;
}

std::string builtVersion(const EndToEndRig& rig) {
  const std::span<const uint8_t> image = firmwareImage(rig.main->link());
  if (image.size() < 2) return {};
  return format("%X.%X", image[image.size() - 2], image[image.size() - 1]);
}

TEST(FirmwareUpdate, MismatchPromptsAndOkUpdatesTheAdapter) {
  EndToEndRig rig(updateOptions("reenumerate_ms = 50\nfirmware_version = 1.4\n"));
  rig.loadFile(kBlinky, AreaChoice::ap());
  rig.promptAnswers = {PromptAnswer::Ok};
  rig.updateTarget();

  ASSERT_EQ(rig.prompts.size(), 1u);
  const PromptRun& prompt = rig.prompts[0];
  EXPECT_EQ(prompt.mode, 0);
  EXPECT_EQ(prompt.message,
            "Unmatched firmware version on the Tether. Press <OK> to update or <Cancel> to quit .");
  EXPECT_FALSE(prompt.timedOut);
  EXPECT_TRUE(prompt.downloadEnded);
  EXPECT_TRUE(prompt.finishedSignShown);
  EXPECT_TRUE(prompt.closedItself);

  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{kUpgraded});
  EXPECT_EQ(rig.messages.shown[0].caption, "Pass !");
  EXPECT_EQ(rig.ctx.state.firmwareUpdateRunning.load(), 0);

  // The adapter stores the Link library's image and reports its version.
  const std::span<const uint8_t> image = firmwareImage(rig.main->link());
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(rig.dir.readBytes("adapter-firmware.bin"), std::vector<uint8_t>(image.begin(), image.end()));
  EXPECT_EQ(rig.adapterSetting("firmware_version"), builtVersion(rig));
  EXPECT_EQ(rig.adapterSetting("mode"), "normal");
  // The download's progress was drawn on the status line.
  EXPECT_GT(rig.progress.painted.size(), 3u);

  // The run that found the mismatch stopped before the target; the next
  // one finds matching firmware and programs it.
  EXPECT_EQ(rig.flash()[0], 0xFF);
  EXPECT_TRUE(rig.pumpUntilAdapterIs(0x0325));  // the restarted adapter is back
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts(), (std::vector<std::string>{kUpgraded, "Update Target ok !"}));
  EXPECT_EQ(rig.flash()[2], 0x00);
  EXPECT_EQ(rig.flash()[3], 0x20);
  EXPECT_EQ(rig.prompts.size(), 1u);
}

TEST(FirmwareUpdate, SwappedChecksumEchoFailsWithAMessage) {
  EndToEndRig rig(updateOptions("reenumerate_ms = 50\n", "firmware_mismatch = yes\nswapped_checksum_echo = yes\n"));
  const std::vector<uint8_t> before = rig.dir.readBytes("adapter-firmware.bin");
  rig.promptAnswers = {PromptAnswer::Ok};
  rig.updateTarget();

  ASSERT_EQ(rig.prompts.size(), 1u);
  EXPECT_TRUE(rig.prompts[0].downloadEnded);
  EXPECT_TRUE(rig.prompts[0].closedItself);
  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{"Firmware download to the Tether failed !"});
  EXPECT_EQ(rig.messages.shown[0].caption, "Error !");
  EXPECT_EQ(rig.ctx.state.firmwareUpdateRunning.load(), 0);
  EXPECT_EQ(rig.dir.readBytes("adapter-firmware.bin"), before);
  EXPECT_FALSE(rig.adapterOpen());
}

TEST(FirmwareUpdate, UpdateModeThatNeverAppearsEndsAfterTheOpeningAttempts) {
  RigOptions options;
  options.faultsIni = "firmware_mismatch = yes\nupdate_mode_never_appears = yes\n";
  EndToEndRig rig(options);  // sleeping takes no real time
  rig.promptAnswers = {PromptAnswer::Ok};
  const auto start = std::chrono::steady_clock::now();
  rig.updateTarget();

  ASSERT_EQ(rig.prompts.size(), 1u);
  EXPECT_TRUE(rig.prompts[0].closedItself);
  EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{"No Tether in firmware update mode was found !"});
  EXPECT_EQ(rig.ctx.state.firmwareUpdateRunning.load(), 0);
  // Sixty attempts one second apart on the program's clock, in moments.
  EXPECT_GE(rig.clock.sleptMs(), 60000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(rig.adapterSetting("connected"), "no");
}

TEST(FirmwareUpdate, CancelKeepsTheAdapterAndTheTarget) {
  RigOptions options;
  options.faultsIni = "firmware_mismatch = yes\n";
  EndToEndRig rig(options);
  rig.loadFile(kBlinky, AreaChoice::ap());
  rig.updateTarget();  // no answer scripted: Cancel
  ASSERT_EQ(rig.prompts.size(), 1u);
  EXPECT_FALSE(rig.prompts[0].pressedOk);
  EXPECT_FALSE(rig.prompts[0].askedMainWindowToClose);
  EXPECT_TRUE(rig.boxTexts().empty());
  EXPECT_EQ(rig.flash()[0], 0xFF);
  EXPECT_FALSE(rig.adapterOpen());
  EXPECT_EQ(rig.statusLine(), kBlinky);
}

TEST(FirmwareUpdate, StartupProbeFindsAdapterThatNeedsUpdateAndSwitchesIt) {
  EndToEndRig rig(updateOptions("reenumerate_ms = 50\nmode = needs-update\n"));
  rig.promptAnswers = {PromptAnswer::Ok};
  ASSERT_EQ(rig.timers.running.count(1), 1u);
  rig.main->onTimer(1);  // the start-up probe

  ASSERT_EQ(rig.prompts.size(), 1u);
  EXPECT_EQ(rig.prompts[0].mode, 1);  // its Cancel would end the program
  EXPECT_TRUE(rig.prompts[0].closedItself);
  EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{kUpgraded});
  EXPECT_EQ(rig.ctx.state.startupFirmwareUpdateFlag.load(), 0);
  EXPECT_EQ(rig.adapterSetting("mode"), "normal");
  EXPECT_EQ(rig.adapterSetting("firmware_version"), builtVersion(rig));
  EXPECT_EQ(rig.timers.running.count(1), 0u);
}

// An adapter left in firmware-update mode (a download that failed) is
// offered the download again, at start-up and by Update Target, and comes
// back in normal mode; declining keeps the program running.
TEST(FirmwareUpdate, AdapterLeftInUpdateModeIsOfferedTheDownloadAgain) {
  EndToEndRig rig(updateOptions("reenumerate_ms = 50\nmode = firmware-update\n"));
  rig.loadFile(kBlinky, AreaChoice::ap());
  rig.promptAnswers = {PromptAnswer::Cancel, PromptAnswer::Ok};
  rig.main->onTimer(1);  // the start-up probe
  ASSERT_EQ(rig.prompts.size(), 1u);
  EXPECT_EQ(rig.prompts[0].mode, 2);
  EXPECT_FALSE(rig.prompts[0].askedMainWindowToClose);
  EXPECT_TRUE(rig.boxTexts().empty());
  EXPECT_FALSE(rig.adapterOpen());

  rig.updateTarget();
  ASSERT_EQ(rig.prompts.size(), 2u);
  EXPECT_EQ(rig.prompts[1].mode, 2);
  EXPECT_TRUE(rig.prompts[1].closedItself);
  EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{kUpgraded}) << "not \"Tether is not exist !\"";
  EXPECT_EQ(rig.adapterSetting("mode"), "normal");
  EXPECT_EQ(rig.adapterSetting("firmware_version"), builtVersion(rig));

  EXPECT_TRUE(rig.pumpUntilAdapterIs(0x0325));
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts(), (std::vector<std::string>{kUpgraded, "Update Target ok !"}));
}

TEST(AdapterArrival, PluggedAdaptersAreCheckedThroughTheDeviceWatch) {
  EndToEndRig rig(updateOptions("reenumerate_ms = 50\nconnected = no\n", "firmware_mismatch = yes\n"));
  rig.main->onTimer(1);  // nothing plugged in: the probe finds nothing
  EXPECT_TRUE(rig.prompts.empty());

  // Plugged in with old firmware: checked at once, the prompt offers the
  // update (declined here).
  rig.dir.write("adapter.ini", "reenumerate_ms = 50\nconnected = yes\n");
  EXPECT_TRUE(rig.pumpUntil([&] { return rig.prompts.size() == 1; }));
  ASSERT_EQ(rig.prompts.size(), 1u);
  EXPECT_EQ(rig.prompts[0].mode, 0);
  EXPECT_FALSE(rig.adapterOpen());

  // The adapter comes back as one that must be updated: the forced check's
  // prompt, whose Cancel asks the main window to close.
  rig.dir.write("adapter.ini", "reenumerate_ms = 50\nconnected = yes\nmode = needs-update\n");
  EXPECT_TRUE(rig.pumpUntil([&] { return rig.prompts.size() == 2; }));
  ASSERT_EQ(rig.prompts.size(), 2u);
  EXPECT_EQ(rig.prompts[1].mode, 1);
  EXPECT_TRUE(rig.prompts[1].askedMainWindowToClose);
  EXPECT_EQ(rig.ctx.state.startupFirmwareUpdateFlag.load(), 1);
  EXPECT_TRUE(rig.boxTexts().empty());
}

TEST(AdapterArrival, EitherNeedsUpdateProductIdCanBeUpdated) {
  for (const char* pid : {"0x0FFF", "0x0331"}) {
    SCOPED_TRACE(pid);
    const std::string ini = std::string("reenumerate_ms = 50\nmode = needs-update\nneeds_update_pid = ") + pid + "\n";
    EndToEndRig rig(updateOptions(ini + "connected = no\n"));
    rig.promptAnswers = {PromptAnswer::Ok};
    rig.dir.write("adapter.ini", ini + "connected = yes\n");
    EXPECT_TRUE(rig.pumpUntil([&] { return !rig.prompts.empty(); }));
    ASSERT_EQ(rig.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts[0].mode, 1);
    EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{kUpgraded});
    EXPECT_EQ(rig.adapterSetting("mode"), "normal");
  }
}

TEST(FirmwareUpdate, AdapterLeavingDuringTheDownloadFailsWithAMessage) {
  // Counted from the adapter's appearance in firmware-update mode: the start
  // report and some of the image's data reports get through.
  EndToEndRig rig(updateOptions("reenumerate_ms = 50\n", "firmware_mismatch = yes\nvanish_after_reports = 60\n"));
  rig.promptAnswers = {PromptAnswer::Ok};
  rig.updateTarget();
  ASSERT_EQ(rig.prompts.size(), 1u);
  EXPECT_TRUE(rig.prompts[0].closedItself);
  EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{"Firmware download to the Tether failed !"});
  EXPECT_EQ(rig.ctx.state.firmwareUpdateRunning.load(), 0);
  EXPECT_EQ(rig.adapterSetting("connected"), "no");
  EXPECT_FALSE(rig.adapterOpen());
}

TEST(FirmwareUpdate, RefusedReportsAreRetriedUntilTaken) {
  EndToEndRig rig(updateOptions("reenumerate_ms = 50\nfirmware_version = 1.4\n", "reject_report = 7\nreject_times = 20\n"));
  rig.promptAnswers = {PromptAnswer::Ok};
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{kUpgraded});
  EXPECT_EQ(rig.adapterSetting("firmware_version"), builtVersion(rig));
  EXPECT_GE(rig.clock.sleptMs(), 20u * 8);  // twenty retries 8 ms apart
}

}  // namespace
}  // namespace lw::e2e
