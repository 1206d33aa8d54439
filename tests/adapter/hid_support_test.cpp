// Device-interface paths, report lengths from report descriptors, and the
// texts that choose adapters.
#include <gtest/gtest.h>

#include <vector>

#include "platform/hid/adapter_choice.h"
#include "platform/hid/interface_path.h"
#include "platform/hid/report_descriptor.h"

namespace lw::hid {
namespace {

TEST(InterfacePath, MatchesTheDeviceTemplatesInAnyLetterCase) {
  const std::string normal = makeInterfacePath({0x0E6A, 0x0325}, "hidraw3");
  EXPECT_EQ(normal, "\\\\?\\HID#Vid_0e6a&Pid_0325#hidraw3#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  for (const char* t : {"\\\\?\\HID#Vid_0e6a&Pid_0325#", "\\\\?\\hid#vid_0e6a&pid_0325#", "\\\\?\\HID#VID_0E6A&PID_0325#",
                        "\\\\?\\Hid#vId_0E6a&PiD_0325#"})
    EXPECT_TRUE(pathMatchesTemplate(normal, t)) << t;
  EXPECT_FALSE(pathMatchesTemplate(normal, "\\\\?\\HID#Vid_0e6a&Pid_0331#"));

  const std::string update = makeInterfacePath({0x0E6A, 0x030B}, "x");
  EXPECT_TRUE(pathMatchesTemplate(update, "\\\\?\\HID#Vid_0e6a&Pid_030b#"));
  EXPECT_TRUE(pathMatchesTemplate(update, "\\\\?\\HID#Vid_0e6a&Pid_030B#"));
  const std::string fff = makeInterfacePath({0x0E6A, 0x0FFF}, "x");
  EXPECT_TRUE(pathMatchesTemplate(fff, "\\\\?\\HID#Vid_0e6a&Pid_0FFF#"));
  EXPECT_FALSE(pathMatchesTemplate("\\\\?\\HID#Vid_0e6a&Pid_03", "\\\\?\\HID#Vid_0e6a&Pid_0325#"));
}

TEST(InterfacePath, IdsAreReadBackFromPathsAndUdev) {
  EXPECT_EQ(idsFromInterfacePath("\\\\?\\hid#VID_0E6A&PID_0FFF#7&1&0#{x}"), (DeviceIds{0x0E6A, 0x0FFF}));
  EXPECT_FALSE(idsFromInterfacePath("\\\\?\\HID#Vid_0e6a&Pid_03"));
  EXPECT_FALSE(idsFromInterfacePath("\\\\?\\HID#Vid_0e6a&Pid_03g5#x"));
  EXPECT_FALSE(idsFromInterfacePath("/dev/hidraw0"));
  EXPECT_EQ(idsFromUdevHidId("0003:00000E6A:00000325"), (DeviceIds{0x0E6A, 0x0325}));
  EXPECT_FALSE(idsFromUdevHidId("0003:00010E6A:00000325"));
  EXPECT_FALSE(idsFromUdevHidId("garbage"));
}

TEST(AdapterChoice, NamesABusOrOneAdapterAndRefusesTheRest) {
  std::string error;
  auto usb = parseAdapterChoice("USB", error);
  ASSERT_TRUE(usb);
  EXPECT_EQ(usb->bus, AdapterChoice::Bus::kUsb);
  EXPECT_TRUE(usb->usbPort.empty() && usb->usbNode.empty());
  EXPECT_EQ(parseAdapterChoice("usb:1-2.3", error)->usbPort, "1-2.3");
  EXPECT_EQ(parseAdapterChoice("usb:/dev/hidraw12", error)->usbNode, "/dev/hidraw12");
  const auto emulated = parseAdapterChoice("emulator:/tmp/a/,/tmp/./b", error);
  ASSERT_TRUE(emulated);
  EXPECT_EQ(emulated->emulatorDirs, (std::vector<std::string>{"/tmp/a", "/tmp/b"}));

  for (const char* bad : {"usb:", "usb:1", "usb:1-", "usb:1-2..3", "usb:x-1", "usb:1-2.3.4.5.6.7.8.9", "usb:/dev/hidraw",
                          "usb:/dev/sda", "emulator:", "emulator:/a,,/b", "emulator:/a,/a/", "bluetooth"}) {
    error.clear();
    EXPECT_FALSE(parseAdapterChoice(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  // Places sort by their numbers: 1-2 < 1-2.1 < 1-10 < 2-1.
  EXPECT_TRUE(placeLess("1-2", "1-10"));
  EXPECT_TRUE(placeLess("1-2", "1-2.1"));
  EXPECT_TRUE(placeLess("1-10", "2-1"));
  EXPECT_FALSE(placeLess("1-10", "1-9"));
  EXPECT_FALSE(placeLess("1-2", "1-2"));
  EXPECT_TRUE(placeLess("/dev/hidraw2", "/dev/hidraw10"));
}

TEST(ReportDescriptor, LengthsCountTheReportIdByte) {
  // Vendor page: 64-byte input, 64-byte output, 128-byte feature, no IDs.
  const std::vector<uint8_t> plain = {
      0x06, 0x00, 0xFF,  // usage page (vendor)
      0x09, 0x01, 0xA1, 0x01,
      0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,  // logical 0..255, size 8
      0x95, 0x40, 0x09, 0x01, 0x81, 0x02,        // 64 x input
      0x95, 0x40, 0x09, 0x01, 0x91, 0x02,        // 64 x output
      0x96, 0x80, 0x00, 0x09, 0x01, 0xB1, 0x02,  // 128 x feature (two-byte count)
      0xC0};
  const auto l = lengthsFromDescriptor(plain);
  ASSERT_TRUE(l);
  EXPECT_EQ(l->input, 65u);
  EXPECT_EQ(l->output, 65u);
  EXPECT_EQ(l->feature, 129u);
  EXPECT_FALSE(l->numberedReports);

  // Two numbered output reports: the longer one counts; push/pop restore
  // the report size.
  const std::vector<uint8_t> numbered = {0x75, 0x08, 0x85, 0x0C, 0x95, 0x3F, 0x91, 0x02, 0xA4, 0x75, 0x10,
                                         0x85, 0x0D, 0x95, 0x04, 0x91, 0x02, 0xB4, 0x85, 0x0E, 0x95, 0x02, 0x91, 0x02};
  const auto n = lengthsFromDescriptor(numbered);
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->numberedReports);
  EXPECT_EQ(n->output, 64u);
  EXPECT_EQ(n->input, 0u);

  EXPECT_FALSE(lengthsFromDescriptor(std::vector<uint8_t>{0x95}));        // cut short
  EXPECT_FALSE(lengthsFromDescriptor(std::vector<uint8_t>{0xB4}));        // pop without push
  EXPECT_FALSE(lengthsFromDescriptor(std::vector<uint8_t>{0xFE, 0x05}));  // long item cut short
}

}  // namespace
}  // namespace lw::hid
