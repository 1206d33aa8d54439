// Faults on the real path, each with the program's message and no hang: a
// node the user may not open, the adapter pulled out during a block write,
// an answer that never comes, and a strict device's stall of a get-feature
// of the wrong length.
#include <hidapi/hidapi.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QJsonObject>

#include <algorithm>
#include <cerrno>

#include "tests/usb/usb_rig.h"

namespace lw::usbtest {
namespace {

using std::chrono::milliseconds;

// Runs the tool as a user without the udev rule: root keeps its uid but
// loses the capabilities that let it open any file.
std::vector<std::string> withoutOverride() {
  if (::geteuid() != 0) return {};
  return {"/usr/bin/setpriv", "--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search", "--"};
}

bool contains(const std::vector<uint8_t>& flash, const std::vector<uint8_t>& image) {
  return flash.size() >= image.size() && std::equal(image.begin(), image.end(), flash.begin());
}

TEST_F(UsbAdapters, FaultsOnTheRealPathEndWithTheProgramsMessageAndNoHang) {
  const std::size_t adapter = plug("1-2.3");
  const std::string code = image("code.bin", 2048);
  const std::vector<std::string> program = {"--json", "program", code, "--part", "Larch-F8U6"};

  // A node without the udev rule: open() is refused with EACCES.
  bus.denyAccess(adapter);
  const test::CliRun denied = cli(program, withoutOverride());
  EXPECT_EQ(denied.exit, 1);
  const auto lines = denied.errLines();
  ASSERT_FALSE(lines.empty()) << denied.err;
  EXPECT_EQ(lines[0].rfind("Error !: The Tether is plugged in, but this user may not open its hidraw device", 0), 0u)
      << lines[0];
  EXPECT_NE(denied.err.find("sudo cp contrib/udev/60-loomwrite-adapter.rules /etc/udev/rules.d/"), std::string::npos);

  // Pulled out after the block write's first data report: the next report
  // fails, the answer read sees the hang-up at once instead of waiting its
  // 4,000 ms (which with the check's pause would take 4,500 ms).
  const std::size_t pulled = plug("1-2.4");
  state(pulled).write("faults.ini", "vanish_after_reports = 7\n");
  const test::CliRun cut = cli({"--json", "--adapter", "usb:1-2.4", "program", code, "--part", "Larch-F8U6"});
  EXPECT_EQ(cut.exit, 1);
  EXPECT_EQ(cut.json()["result"].toString(), "Error !: Update Target failed !");
  EXPECT_LT(lastRunTook, milliseconds(4000));
  EXPECT_FALSE(contains(flash(pulled), imageBytes(2048)));
  EXPECT_EQ(bus.events().back(), "remove usb:1-2.4 0325 /dev/hidraw1");

  // The answer to the target connect never comes: the read gives up after
  // 4,000 ms (after the adapter check's 500 ms pause) and the run ends.
  const std::size_t silent = plug("1-3");
  state(silent).write("faults.ini", "connect.answer = none\n");
  const test::CliRun waited = cli({"--json", "--adapter", "usb:1-3", "program", code, "--part", "Larch-F8U6"});
  EXPECT_EQ(waited.exit, 1);
  EXPECT_FALSE(waited.json()["ok"].toBool(true));
  EXPECT_GE(lastRunTook, milliseconds(4500));
  EXPECT_LT(lastRunTook, milliseconds(8500));

  // A strict device stalls a get-feature of any length but its report's,
  // and a report number it does not have.
  hid_device* device = hid_open_path(bus.nodeOf(silent).c_str());
  ASSERT_TRUE(device);
  std::vector<uint8_t> report(130, 0);
  for (std::size_t length : {128u, 130u}) {
    errno = 0;
    EXPECT_EQ(hid_get_feature_report(device, report.data(), length), -1) << length;
    EXPECT_EQ(errno, EPIPE) << length;
  }
  report[0] = 1;
  EXPECT_EQ(hid_get_feature_report(device, report.data(), 129), -1);
  EXPECT_EQ(errno, EPIPE);
  report[0] = 0;
  EXPECT_EQ(hid_get_feature_report(device, report.data(), 129), 129) << "the idle answer";
  EXPECT_EQ(report[1], 0x5A);
  hid_close(device);
}

}  // namespace
}  // namespace lw::usbtest
