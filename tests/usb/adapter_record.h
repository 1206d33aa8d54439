#pragma once
// What the kernel shows for a USB adapter plugged into a port: the USB
// device, its HID interface, the hid device with HID_ID, HID_NAME, HID_UNIQ,
// HID_PHYS and its report descriptor, and the hidraw child with its node.
// Written in the text format of umockdev-record, so the harness's adapters
// and a recording of a real one load into a testbed the same way.
#include <cstdint>
#include <string>
#include <vector>

namespace lw::usbtest {

// The report layout of one mode: every length counts the report-ID byte, as
// the program's HID layer counts it.
struct ReportLayout {
  uint8_t reportId = 0;  // 0: the device uses no report IDs
  uint8_t input = 0, output = 0, feature = 0;
};

// The adapter's layout in the mode its product id names (docs/adapter-protocol.md):
// in needs-update mode the output report has ID 0x0C, so every report has it.
ReportLayout adapterLayout(uint16_t productId);

// A vendor-defined application collection with one input, one output and
// one feature report of the layout's lengths.
std::vector<uint8_t> reportDescriptor(const ReportLayout& layout);

// One appearance of an adapter on the bus. Plugging it in, or its coming
// back in another mode, is a new appearance: a new device number, a new
// hid instance and the lowest free hidraw minor, as the kernel hands out.
struct UsbAppearance {
  std::string port;  // "1-2.3"
  uint16_t productId = 0;
  std::string serial;  // empty: no serial number string
  unsigned devnum = 0;
  unsigned hidInstance = 0;
  unsigned minor = 0;
};

struct AppearancePaths {
  std::string usbDevice, interface, hid, hidraw;  // "/sys/devices/..."
  std::string node;                               // "/dev/hidraw0"
};

AppearancePaths pathsOf(const UsbAppearance& a);

// "Loomwrite LW-LINK", as usbhid joins the manufacturer and product strings.
std::string hidName();
// "usb-0000:00:14.0-2.3/input0"
std::string hidPhys(const std::string& port);

// The record of the appearance, parents first. The hidraw paragraph has no
// node line (the harness makes the node) and, unless asked, no "device"
// link: umockdev announces a device before it sets its links, so the
// harness makes that link itself before the device is added.
std::string deviceRecord(const UsbAppearance& a, bool withDeviceLink);

// The appearance as "umockdev-record /dev/hidrawN" prints it: the hidraw
// device first, then its parents, with its node line and its links.
std::string recordedTree(const UsbAppearance& a);

}  // namespace lw::usbtest
