#pragma once
// The kernel's hidraw driver between a program and a USB HID device
// (drivers/hid/hidraw.c with usbhid below it; Documentation/hid/hidraw.rst):
//  - byte 0 of every feature report and output report is the report number;
//    report number 0 means the device uses no report IDs, and that byte is
//    not sent on the wire, but still counted in the result;
//  - a get-feature of n bytes asks the device for n - 1 bytes (n with a
//    report number), returns what came plus one, and leaves the report
//    number in byte 0;
//  - a report shorter than 2 bytes or longer than 4096 is EINVAL;
//  - a stalled transfer is EPIPE; once the device has left, every call is
//    ENODEV, and a read with nothing left to read is EIO;
//  - read() gives one input report as the device sent it: without a report
//    number when the device uses none.
// Results are the system call's: a count or 0, or -errno.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lw::usbtest {

// The USB HID device on the far side of the cable, as usbhid reaches it.
// Results are 0 or a count, or -EPIPE for a stall, -ENODEV when it is gone.
class UsbHidDevice {
 public:
  virtual ~UsbHidDevice() = default;
  // SET_REPORT(Feature) on the control pipe.
  virtual int setFeature(uint8_t reportId, std::span<const uint8_t> data) = 0;
  // GET_REPORT(Feature) with wLength = length; the device sends at most length bytes.
  virtual int getFeature(uint8_t reportId, std::size_t length, std::vector<uint8_t>& data) = 0;
  // The interrupt OUT pipe.
  virtual int interruptOut(std::span<const uint8_t> data) = 0;
};

// What the node's ioctls tell about the device.
struct HidIdentity {
  uint16_t vendorId = 0, productId = 0;
  std::vector<uint8_t> descriptor;
  std::string name, phys, uniq;
};

// One ioctl on a node whose device is present (device non-null) or gone.
long hidrawIoctl(UsbHidDevice* device, const HidIdentity& identity, unsigned long request, std::span<uint8_t> arg);
long hidrawWrite(UsbHidDevice* device, std::span<const uint8_t> buffer);
// A read of the oldest waiting report (null: none waits), cut to the
// buffer; EIO when none waits and the device is gone. A blocking read with
// none waiting would sleep in the kernel; here it is EAGAIN, since poll()
// on the node says when one waits and programs read only then.
long hidrawRead(const std::vector<uint8_t>* oldest, bool present, std::span<uint8_t> buffer);

}  // namespace lw::usbtest
