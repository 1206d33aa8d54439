// Listing and places over USB: ports, nodes, serial numbers and report
// lengths read from sysfs and udev, firmware and storage asked over hidraw.
#include <QJsonArray>
#include <QJsonObject>

#include "core/abi/link_abi.h"
#include "platform/hid/hid_api.h"
#include "tests/usb/usb_rig.h"

namespace lw::usbtest {
namespace {

TEST_F(UsbAdapters, ListsEveryAdapterWithItsPlaceNodeSerialFirmwareAndStorage) {
  plug("1-2.10", "serial = LW-0042\n");
  plug("1-2.4");
  plug("3-1", "mode = needs-update\n");

  const test::CliRun run = cli({"--json", "adapters"});
  ASSERT_EQ(run.exit, 0) << run.err;
  const QJsonArray list = run.json()["adapters"].toArray();
  ASSERT_EQ(list.size(), 3);
  // Ports in order, numbers by value; nodes as the kernel handed them out.
  const struct {
    const char *place, *node, *serial, *productId;
  } expected[] = {{"usb:1-2.4", "/dev/hidraw1", "", "0x0325"},
                  {"usb:1-2.10", "/dev/hidraw0", "LW-0042", "0x0325"},
                  {"usb:3-1", "/dev/hidraw2", "", "0x0FFF"}};
  for (int i = 0; i < 3; ++i) {
    const QJsonObject a = list[i].toObject();
    EXPECT_EQ(a["place"].toString().toStdString(), expected[i].place);
    EXPECT_EQ(a["node"].toString().toStdString(), expected[i].node);
    EXPECT_EQ(a["serial"].toString().toStdString(), expected[i].serial);
    EXPECT_EQ(a["product_id"].toString().toStdString(), expected[i].productId);
  }
  for (int i : {0, 1}) {
    const QJsonObject a = list[i].toObject();
    EXPECT_EQ(a["firmware"].toString(), "1.5") << i;
    EXPECT_TRUE(a["storage"].toBool()) << i;
    EXPECT_EQ(a["storage_capacity"].toInt(), 0x40000) << i;
  }
  EXPECT_FALSE(list[2].toObject().contains("firmware")) << "an adapter that needs an update is not asked";

  // The same places through this process's HID layer, with the paths the
  // program's device templates match and the lengths of each descriptor.
  lw_hid_place_info places[4];
  ASSERT_EQ(lw_hid_enumerate_places(places, 4), 3);
  EXPECT_STREQ(places[0].port, "1-2.4");
  EXPECT_STREQ(places[1].interface_path, "\\\\?\\HID#Vid_0e6a&Pid_0325#hidraw0#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_STREQ(places[2].interface_path, "\\\\?\\HID#Vid_0e6a&Pid_0fff#hidraw2#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  const struct {
    uint16_t productId;
    uint8_t feature;
  } modes[] = {{kPidNormal, 129}, {kPidNeedsUpdateAlt, 65}};
  for (const auto& m : modes) {
    uint32_t error = 0;
    const lw_hid_handle h = lw_hid_open(kAdapterVendorId, m.productId, &error);
    ASSERT_NE(h, 0u) << error;
    uint8_t feature = 0, input = 0, output = 0;
    ASSERT_EQ(lw_hid_report_lengths(h, &feature, &input, &output), 0u);
    EXPECT_EQ(feature, m.feature);
    EXPECT_EQ(input, 65);
    EXPECT_EQ(output, 65);
    lw_hid_close(h);
  }
}

}  // namespace
}  // namespace lw::usbtest
