#include "tests/usb/adapter_record.h"

#include <algorithm>
#include <sstream>

#include "core/abi/link_abi.h"
#include "core/text.h"
#include "tether/wire/adapter_protocol.h"

namespace lw::usbtest {
namespace {

constexpr char kController[] = "/devices/pci0000:00/0000:00:14.0";

unsigned busOf(const std::string& port) { return static_cast<unsigned>(std::stoul(port.substr(0, port.find('-')))); }

// "usb1/1-2/1-2.3" for port 1-2.3: every hub on the way has its own directory.
std::string portDirectories(const std::string& port) {
  std::string path = format("usb%u", busOf(port));
  for (std::size_t at = port.find('-'); at != std::string::npos; at = port.find('.', at + 1))
    path += "/" + port.substr(0, port.find('.', at + 1));
  return path;
}

std::string hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (uint8_t b : bytes) out += format("%02X", b);
  return out;
}

}  // namespace

ReportLayout adapterLayout(uint16_t productId) {
  const bool needsUpdate = productId == kPidNeedsUpdate || productId == kPidNeedsUpdateAlt;
  const std::size_t feature = productId == kPidNormal ? wire::kNormalFeatureLength : wire::kBootFeatureLength;
  return {needsUpdate ? wire::kSwitchReportId : uint8_t{0}, static_cast<uint8_t>(wire::kInputLength),
          static_cast<uint8_t>(wire::kOutputLength), static_cast<uint8_t>(feature)};
}

std::vector<uint8_t> reportDescriptor(const ReportLayout& l) {
  // Data bytes per report: the length without its report-ID byte.
  auto count = [](uint8_t length) {
    const unsigned n = length - 1u;
    return std::vector<uint8_t>{0x96, static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)};
  };
  std::vector<uint8_t> d = {0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
                            0x09, 0x01,        // Usage 1
                            0xA1, 0x01};       // Collection (Application)
  if (l.reportId != 0) d.insert(d.end(), {0x85, l.reportId});
  d.insert(d.end(), {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08});  // 0..255, 8 bits
  const struct {
    uint8_t length, usage, item;
  } reports[] = {{l.input, 0x02, 0x81}, {l.output, 0x03, 0x91}, {l.feature, 0x04, 0xB1}};
  for (const auto& r : reports) {
    const auto c = count(r.length);
    d.insert(d.end(), c.begin(), c.end());
    d.insert(d.end(), {0x09, r.usage, r.item, 0x02});  // Usage, Input/Output/Feature (Data, Var, Abs)
  }
  d.push_back(0xC0);  // End Collection
  return d;
}

AppearancePaths pathsOf(const UsbAppearance& a) {
  AppearancePaths p;
  p.usbDevice = std::string("/sys") + kController + "/" + portDirectories(a.port);
  p.interface = p.usbDevice + "/" + a.port + ":1.0";
  p.hid = p.interface + format("/%04X:%04X:%04X.%04X", 3u, unsigned{kAdapterVendorId}, unsigned{a.productId},
                               a.hidInstance);
  p.hidraw = p.hid + format("/hidraw/hidraw%u", a.minor);
  p.node = format("/dev/hidraw%u", a.minor);
  return p;
}

std::string hidName() { return "Loomwrite LW-LINK"; }

std::string hidPhys(const std::string& port) {
  return "usb-0000:00:14.0-" + port.substr(port.find('-') + 1) + "/input0";
}

std::string deviceRecord(const UsbAppearance& a, bool withDeviceLink) {
  const AppearancePaths p = pathsOf(a);
  const unsigned bus = busOf(a.port);
  const auto noSys = [](const std::string& path) { return path.substr(4); };
  std::ostringstream r;
  r << "P: " << noSys(p.usbDevice) << "\n"
    << format("E: DEVNAME=/dev/bus/usb/%03u/%03u\n", bus, a.devnum) << "E: DEVTYPE=usb_device\nE: DRIVER=usb\n"
    << format("E: PRODUCT=%x/%x/100\n", unsigned{kAdapterVendorId}, unsigned{a.productId})
    << format("E: BUSNUM=%03u\nE: DEVNUM=%03u\n", bus, a.devnum) << "E: SUBSYSTEM=usb\n"
    << "A: bcdDevice=0100\n"
    << format("A: busnum=%u\nA: devnum=%u\n", bus, a.devnum)
    << "A: devpath=" << a.port.substr(a.port.find('-') + 1) << "\n"
    << format("A: idProduct=%04x\nA: idVendor=%04x\n", unsigned{a.productId}, unsigned{kAdapterVendorId})
    << "A: manufacturer=Loomwrite\nA: product=LW-LINK\n";
  if (!a.serial.empty()) r << "A: serial=" << a.serial << "\n";
  r << "A: speed=12\n" << format("A: dev=189:%u\n", (bus - 1) * 128 + a.devnum - 1) << "\n";

  r << "P: " << noSys(p.interface) << "\n"
    << "E: DEVTYPE=usb_interface\nE: DRIVER=usbhid\nE: INTERFACE=3/0/0\nE: SUBSYSTEM=usb\n"
    << "A: bInterfaceClass=03\nA: bInterfaceNumber=00\nA: bInterfaceProtocol=00\nA: bInterfaceSubClass=00\n\n";

  r << "P: " << noSys(p.hid) << "\n"
    << "E: DRIVER=hid-generic\n"
    << format("E: HID_ID=0003:%08X:%08X\n", unsigned{kAdapterVendorId}, unsigned{a.productId})
    << "E: HID_NAME=" << hidName() << "\n"
    << "E: HID_PHYS=" << hidPhys(a.port) << "\n"
    << "E: HID_UNIQ=" << a.serial << "\n"
    << format("E: MODALIAS=hid:b0003g0001v%08Xp%08X\n", unsigned{kAdapterVendorId}, unsigned{a.productId})
    << "E: SUBSYSTEM=hid\n"
    << "H: report_descriptor=" << hex(reportDescriptor(adapterLayout(a.productId))) << "\n\n";

  r << "P: " << noSys(p.hidraw) << "\n"
    << "E: DEVNAME=" << p.node << "\n"
    << format("E: MAJOR=243\nE: MINOR=%u\n", a.minor) << "E: SUBSYSTEM=hidraw\n"
    << format("A: dev=243:%u\n", a.minor);
  if (withDeviceLink) r << "L: device=../../../" << p.hid.substr(p.hid.rfind('/') + 1) << "\n";
  return r.str();
}

std::string recordedTree(const UsbAppearance& a) {
  std::vector<std::string> paragraphs;
  const std::string record = deviceRecord(a, true);
  for (std::size_t at = 0; at < record.size();) {
    std::size_t end = std::min(record.find("\n\n", at), record.size());
    while (end > at && record[end - 1] == '\n') --end;
    paragraphs.push_back(record.substr(at, end - at) + "\n");
    at = record.find_first_not_of('\n', end);
  }
  std::string& hidraw = paragraphs.back();
  hidraw.insert(hidraw.find('\n') + 1, format("N: hidraw%u\n", a.minor));
  std::string tree;
  for (auto p = paragraphs.rbegin(); p != paragraphs.rend(); ++p) tree += *p + "\n";
  return tree;
}

}  // namespace lw::usbtest
