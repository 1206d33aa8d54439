#include <gtest/gtest.h>

#include "link/device_paths.h"
#include "tests/programming/programming_rig.h"
#include "tests/programming/test_helpers.h"

namespace lw::test {
namespace {

using Strings = std::vector<std::string>;

TEST(AdapterCheck, NormalCheckOutcomes) {
  {
    Rig rig;  // matching firmware, adapter that stores images
    rig.adapter.connect(0, 0, 1);
    EXPECT_EQ(rig.operations->checkAdapter(0), 1);
    EXPECT_EQ(rig.host.status, (Strings{"Detect if Tether is exist...", ""}));
    EXPECT_EQ(rig.clock.tickCountMs(), 500u);
    EXPECT_TRUE(rig.host.updateProgrammerEnabled);
    EXPECT_TRUE(rig.host.prompts.empty());
  }
  {
    Rig rig;  // no room for an image: "Update Programmer" is disabled
    rig.adapter.connect(0, 0, 1);
    rig.adapter.storageFlag = 0;
    EXPECT_EQ(rig.operations->checkAdapter(0), 1);
    EXPECT_FALSE(rig.host.updateProgrammerEnabled);
  }
  {
    Rig rig;  // mismatch: the prompt in mode 0
    rig.adapter.connect(0, 0, 1);
    rig.adapter.mismatch = 1;
    EXPECT_EQ(rig.operations->checkAdapter(0), 0);
    EXPECT_EQ(rig.host.prompts, std::vector<int>{0});
    EXPECT_EQ(rig.host.currentStatus(), "");
  }
  {
    Rig rig;  // the check itself fails: no prompt, no message
    rig.adapter.checkFirmwareResult = 2;
    EXPECT_EQ(rig.operations->checkAdapter(0), 0);
    EXPECT_TRUE(rig.host.prompts.empty());
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.host.currentStatus(), "");
  }
  {
    Rig rig;  // forced: opens the adapter that needs new firmware, prompt with the mode
    rig.adapter.needsUpdatePresent = true;
    EXPECT_EQ(rig.operations->checkAdapter(1), 0);
    EXPECT_EQ(calls(rig.adapter), Strings{"connect E6A FFF 0"});
    EXPECT_EQ(rig.host.prompts, std::vector<int>{1});
  }
}

TEST(DevicePaths, TemplatesMatchWithoutRegardToCase) {
  EXPECT_EQ(classifyDevicePath(R"(\\?\hid#VID_0E6A&pid_0325#7&1a2b&0&0000#{4d1e55b2})"), AdapterPath::Normal);
  EXPECT_EQ(classifyDevicePath(R"(\\?\HID#Vid_0e6a&Pid_0331#x)"), AdapterPath::NeedsUpdate);
  EXPECT_EQ(classifyDevicePath(R"(\\?\Hid#vid_0E6A&PID_0fff#x)"), AdapterPath::NeedsUpdate);
  EXPECT_EQ(classifyDevicePath(R"(\\?\HID#VID_0E6A&PID_030B#x)"), AdapterPath::UpdateMode);
  EXPECT_EQ(classifyDevicePath(R"(\\?\HID#Vid_0e6a&Pid_0326#x)"), AdapterPath::Other);
  EXPECT_EQ(classifyDevicePath(R"(\\?\HID#Vid_0e6a&Pid_032)"), AdapterPath::Other);
  EXPECT_EQ(classifyDevicePath(""), AdapterPath::Other);
}

TEST(DeviceArrival, NormalAdapterIsCheckedAndClosed) {
  Rig rig;
  rig.operations->onDeviceArrival(R"(\\?\hid#VID_0E6A&PID_0325#6&abc#{4d1e55b2-f16f-11cf-88cb-001111000030})");
  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "disconnect"}));
  EXPECT_EQ(rig.host.currentStatus(), rig.host.filePath);

  rig.adapter.log.clear();
  rig.adapter.normalPresent = false;  // not openable: still closed, no check
  rig.operations->onDeviceArrival(R"(\\?\HID#Vid_0e6a&Pid_0325#1)");
  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "disconnect"}));
}

TEST(DeviceArrival, AdapterNeedingFirmwareGetsTheForcedCheck) {
  for (const char* path : {R"(\\?\HID#VID_0E6A&PID_0331#1)", R"(\\?\hid#vid_0e6a&pid_0FfF#1)"}) {
    SCOPED_TRACE(path);
    Rig rig;
    rig.host.filePath.clear();
    rig.operations->onDeviceArrival(path);
    EXPECT_EQ(rig.app.state.startupFirmwareUpdateFlag, 1);
    EXPECT_EQ(rig.host.prompts, std::vector<int>{1});
    // Neither needs-update product id is present in the fake: both are tried.
    EXPECT_EQ(calls(rig.adapter), (Strings{"connect E6A FFF 0", "connect E6A 331 0"}));
    EXPECT_EQ(rig.host.status, Strings{""});  // no file loaded: the path is not shown
  }
}

TEST(DeviceArrival, IgnoredWhileTheAdapterIsInUse) {
  Rig rig;
  rig.app.state.firmwareUpdateRunning = 1;
  rig.operations->onDeviceArrival(R"(\\?\HID#Vid_0e6a&Pid_0325#1)");
  rig.operations->onDeviceArrival(R"(\\?\HID#Vid_0e6a&Pid_0331#1)");
  rig.operations->onDeviceArrival(R"(\\?\HID#Vid_0e6a&Pid_030b#1)");
  EXPECT_TRUE(rig.adapter.log.empty());
  EXPECT_TRUE(rig.host.prompts.empty());

  // A programming run holds the adapter: plugging another one in mid-write
  // must not close the device in use.
  Rig busy;
  busy.host.view.bytes = pattern(600);
  bool plugged = false;
  busy.loop.onDispatch = [&] {
    if (plugged) return;
    plugged = true;
    busy.operations->onDeviceArrival(R"(\\?\HID#Vid_0e6a&Pid_0325#2)");
  };
  busy.operations->updateTarget();
  EXPECT_TRUE(plugged);
  EXPECT_EQ(busy.adapter.count("connect"), 1);
  EXPECT_EQ(boxTexts(busy.boxes), Strings{"Update Target ok !"});
}

TEST(StartupProbe, OpensTheAdapterThatNeedsFirmwareFirst) {
  {
    Rig rig;
    rig.adapter.needsUpdatePresent = true;
    rig.operations->startupProbe();
    EXPECT_EQ(rig.app.state.startupFirmwareUpdateFlag, 1);
    EXPECT_EQ(rig.host.prompts, std::vector<int>{1});
    EXPECT_EQ(calls(rig.adapter), (Strings{"connect E6A FFF 0", "connect E6A FFF 0", "disconnect"}));
  }
  {
    Rig rig;  // a normal adapter gets the normal check
    rig.operations->startupProbe();
    EXPECT_EQ(calls(rig.adapter), (Strings{"connect E6A FFF 0", "connect 0 0 1", "checkFirmware", "disconnect"}));
  }
  {
    Rig rig;  // a one-argument command line makes it the forced check
    rig.app.state.startupFirmwareUpdateFlag = 1;
    rig.operations->startupProbe();
    EXPECT_EQ(rig.host.prompts, std::vector<int>{1});
    EXPECT_EQ(rig.adapter.count("checkFirmware"), 0);
  }
  {
    Rig rig;  // nothing plugged in
    rig.adapter.normalPresent = false;
    rig.operations->startupProbe();
    // The last look is for an adapter left in firmware-update mode.
    EXPECT_EQ(calls(rig.adapter), (Strings{"connect E6A FFF 0", "connect 0 0 1", "connect E6A 30B 0", "disconnect"}));
    EXPECT_TRUE(rig.host.prompts.empty());
  }
}

TEST(DeviceRemoval, ShowsTheFilePathAgain) {
  Rig rig;
  rig.operations->onDeviceRemoval(R"(\\?\HID#Vid_0e6a&Pid_0325#1)");
  EXPECT_EQ(rig.host.status, Strings{rig.host.filePath});
  rig.host.filePath.clear();
  rig.operations->onDeviceRemoval(R"(\\?\HID#Vid_0e6a&Pid_0325#1)");
  EXPECT_EQ(rig.host.status.size(), 1u);
}

}  // namespace
}  // namespace lw::test
