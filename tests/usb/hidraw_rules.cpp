#include "tests/usb/hidraw_rules.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lw::usbtest {
namespace {

constexpr std::size_t kMaxBuffer = 4096;  // HID_MAX_BUFFER_SIZE

bool badLength(std::size_t n) { return n < 2 || n > kMaxBuffer; }

long setFeature(UsbHidDevice& device, std::span<const uint8_t> buffer) {
  if (badLength(buffer.size())) return -EINVAL;
  const uint8_t number = buffer[0];
  // Report number 0 is not sent, but counts in the result.
  const auto wire = number == 0 ? buffer.subspan(1) : buffer;
  const int r = device.setFeature(number, wire);
  if (r < 0) return r;
  return static_cast<long>(wire.size()) + (number == 0 ? 1 : 0);
}

long getFeature(UsbHidDevice& device, std::span<uint8_t> buffer) {
  if (badLength(buffer.size())) return -EINVAL;
  const uint8_t number = buffer[0];
  const std::size_t skip = number == 0 ? 1 : 0;
  std::vector<uint8_t> data;
  const int r = device.getFeature(number, buffer.size() - skip, data);
  if (r < 0) return r;
  const std::size_t n = std::min(data.size(), buffer.size() - skip);
  std::copy_n(data.begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(skip));
  return static_cast<long>(n + skip);
}

long copyString(const std::string& text, std::span<uint8_t> arg) {
  const std::size_t n = std::min(text.size() + 1, arg.size());
  std::copy_n(reinterpret_cast<const uint8_t*>(text.c_str()), n, arg.begin());
  return static_cast<long>(n);
}

}  // namespace

long hidrawIoctl(UsbHidDevice* device, const HidIdentity& id, unsigned long request, std::span<uint8_t> arg) {
  if (!device) return -ENODEV;
  switch (request) {
    case HIDIOCGRDESCSIZE: {
      const int size = static_cast<int>(id.descriptor.size());
      std::memcpy(arg.data(), &size, sizeof size);
      return 0;
    }
    case HIDIOCGRDESC: {
      uint32_t asked = 0;
      std::memcpy(&asked, arg.data(), sizeof asked);
      if (asked > HID_MAX_DESCRIPTOR_SIZE - 1) return -EINVAL;
      std::copy_n(id.descriptor.begin(), std::min<std::size_t>(asked, id.descriptor.size()), arg.begin() + 4);
      return 0;
    }
    case HIDIOCGRAWINFO: {
      hidraw_devinfo info{};
      info.bustype = 3;  // BUS_USB
      info.vendor = static_cast<__s16>(id.vendorId);
      info.product = static_cast<__s16>(id.productId);
      std::memcpy(arg.data(), &info, sizeof info);
      return 0;
    }
    default: break;
  }
  if (_IOC_TYPE(request) != 'H') return -EINVAL;
  // The two feature ioctls carry their length in the request.
  if (_IOC_NR(request) == _IOC_NR(HIDIOCSFEATURE(0))) return setFeature(*device, arg);
  if (_IOC_NR(request) == _IOC_NR(HIDIOCGFEATURE(0))) return getFeature(*device, arg);
  if (_IOC_DIR(request) != _IOC_READ) return -EINVAL;
  if (_IOC_NR(request) == _IOC_NR(HIDIOCGRAWNAME(0))) return copyString(id.name, arg);
  if (_IOC_NR(request) == _IOC_NR(HIDIOCGRAWPHYS(0))) return copyString(id.phys, arg);
  if (_IOC_NR(request) == _IOC_NR(HIDIOCGRAWUNIQ(0))) return copyString(id.uniq, arg);
  return -ENOTTY;
}

long hidrawWrite(UsbHidDevice* device, std::span<const uint8_t> buffer) {
  if (!device) return -ENODEV;
  if (badLength(buffer.size())) return -EINVAL;
  // usbhid sends an output report on the interrupt pipe without report number 0.
  const auto wire = buffer[0] == 0 ? buffer.subspan(1) : buffer;
  const int r = device->interruptOut(wire);
  if (r < 0) return r;
  return static_cast<long>(buffer.size());
}

long hidrawRead(const std::vector<uint8_t>* oldest, bool present, std::span<uint8_t> buffer) {
  if (!oldest) return present ? -EAGAIN : -EIO;
  const std::size_t n = std::min(oldest->size(), buffer.size());
  std::copy_n(oldest->begin(), n, buffer.begin());
  return static_cast<long>(n);
}

}  // namespace lw::usbtest
