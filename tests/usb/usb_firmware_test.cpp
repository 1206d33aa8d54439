// The firmware update over USB: the adapter leaves the bus and comes back
// as product 0x030B and then 0x0325 at the same port, with remove and add
// uevents, and the update follows it by its port among other adapters.
#include "tests/usb/usb_rig.h"

namespace lw::usbtest {
namespace {

std::vector<std::string> eventsAt(const std::vector<std::string>& events, const std::string& place) {
  std::vector<std::string> at;
  for (const std::string& e : events)
    if (e.find(" " + place + " ") != std::string::npos) at.push_back(e.substr(0, e.rfind(' ')));
  return at;
}

bool says(const test::CliRun& run, const std::string& line) {
  const auto lines = run.errLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(UsbAdapters, FirmwareUpdateFollowsTheAdapterThroughBothReEnumerations) {
  const std::size_t old = plug("1-2.3", std::string(kQuickAdapter) + "firmware_version = 1.4\n");
  plug("1-2.4");

  const test::CliRun updated = cli({"--json", "firmware", "--yes"});
  ASSERT_EQ(updated.exit, 0) << updated.err;
  EXPECT_TRUE(says(updated, "Pass !: Tether is upgraded !")) << updated.err;
  EXPECT_EQ(updated.json()["result"].toString(), "updated");
  EXPECT_NE(state(old).read("adapter.ini").find("firmware_version = 1.5"), std::string::npos);
  EXPECT_EQ(eventsAt(bus.events(), "usb:1-2.3"),
            (std::vector<std::string>{"add usb:1-2.3 0325", "remove usb:1-2.3 0325", "add usb:1-2.3 030b",
                                      "remove usb:1-2.3 030b", "add usb:1-2.3 0325"}));
  EXPECT_EQ(eventsAt(bus.events(), "usb:1-2.4"), std::vector<std::string>{"add usb:1-2.4 0325"});

  // An adapter that announces it needs firmware is switched with the output
  // report 0x0C, written to the node.
  const std::size_t broken = plug("3-1", std::string(kQuickAdapter) + "mode = needs-update\n");
  const test::CliRun repaired = cli({"--adapter", "usb:3-1", "firmware", "--yes"});
  ASSERT_EQ(repaired.exit, 0) << repaired.err;
  EXPECT_TRUE(says(repaired, "Pass !: Tether is upgraded !")) << repaired.err;
  EXPECT_NE(state(broken).read("adapter.ini").find("mode = normal"), std::string::npos);
  EXPECT_EQ(eventsAt(bus.events(), "usb:3-1"),
            (std::vector<std::string>{"add usb:3-1 0fff", "remove usb:3-1 0fff", "add usb:3-1 030b",
                                      "remove usb:3-1 030b", "add usb:3-1 0325"}));
}

}  // namespace
}  // namespace lw::usbtest
