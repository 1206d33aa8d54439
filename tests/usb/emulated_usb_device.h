#pragma once
// The adapter emulator as a USB HID device in one appearance on the bus:
// reports on the wire carry a report number only when the mode's layout
// has one, and like a strict device it stalls every transfer whose report
// number or length is not the layout's, a get-feature of any other length
// included. Used under the bus's lock.
#include "emulator/adapter_emulator.h"
#include "tests/usb/adapter_record.h"
#include "tests/usb/hidraw_rules.h"

namespace lw::usbtest {

class EmulatedUsbDevice final : public UsbHidDevice {
 public:
  EmulatedUsbDevice(emu::AdapterEmulator& adapter, const ReportLayout& layout) : adapter_(adapter), layout_(layout) {}

  int setFeature(uint8_t reportId, std::span<const uint8_t> data) override;
  int getFeature(uint8_t reportId, std::size_t length, std::vector<uint8_t>& data) override;
  int interruptOut(std::span<const uint8_t> data) override;

  // An input report of the emulator (report ID first) as it comes over the
  // interrupt pipe.
  std::vector<uint8_t> onTheWire(const std::vector<uint8_t>& report) const;

 private:
  // The emulator's form of a report: always with its report-ID byte.
  std::vector<uint8_t> withReportId(std::span<const uint8_t> wire) const;
  bool fits(uint8_t reportId, std::size_t wireLength, uint8_t declared) const;

  emu::AdapterEmulator& adapter_;
  const ReportLayout layout_;
};

}  // namespace lw::usbtest
