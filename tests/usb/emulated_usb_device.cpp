#include "tests/usb/emulated_usb_device.h"

#include <cerrno>
#include <thread>

#include "core/codes.h"

namespace lw::usbtest {
namespace {

int fromTransfer(const emu::Transfer& t) {
  // The bus time of the transfer, when the emulator's timing model is on.
  if (t.latency.count() > 0) std::this_thread::sleep_for(t.latency);
  switch (t.error) {
    case 0: return 0;
    case err::kDeviceNotConnected: return -ENODEV;
    default: return -EPIPE;  // stalled, or not a report it takes
  }
}

}  // namespace

bool EmulatedUsbDevice::fits(uint8_t reportId, std::size_t wireLength, uint8_t declared) const {
  const std::size_t expected = layout_.reportId == 0 ? declared - 1u : declared;
  return reportId == layout_.reportId && wireLength == expected;
}

std::vector<uint8_t> EmulatedUsbDevice::withReportId(std::span<const uint8_t> wire) const {
  std::vector<uint8_t> report;
  if (layout_.reportId == 0) report.push_back(0);
  report.insert(report.end(), wire.begin(), wire.end());
  return report;
}

std::vector<uint8_t> EmulatedUsbDevice::onTheWire(const std::vector<uint8_t>& report) const {
  if (layout_.reportId != 0 || report.empty()) return report;
  return {report.begin() + 1, report.end()};
}

int EmulatedUsbDevice::setFeature(uint8_t reportId, std::span<const uint8_t> data) {
  if (!fits(reportId, data.size(), layout_.feature)) return -EPIPE;
  return fromTransfer(adapter_.setFeature(withReportId(data), emu::Clock::now()));
}

int EmulatedUsbDevice::getFeature(uint8_t reportId, std::size_t length, std::vector<uint8_t>& data) {
  if (!fits(reportId, length, layout_.feature)) return -EPIPE;
  std::vector<uint8_t> answer;
  const int r = fromTransfer(adapter_.getFeature(reportId, answer, emu::Clock::now()));
  if (r < 0) return r;
  data = onTheWire(answer);
  // A control transfer ends at wLength, whatever more the device has.
  if (data.size() > length) data.resize(length);
  return static_cast<int>(data.size());
}

int EmulatedUsbDevice::interruptOut(std::span<const uint8_t> data) {
  const uint8_t reportId = layout_.reportId == 0 ? 0 : (data.empty() ? 0 : data[0]);
  if (!fits(reportId, data.size(), layout_.output)) return -EPIPE;
  return fromTransfer(adapter_.writeOutput(withReportId(data), emu::Clock::now()));
}

}  // namespace lw::usbtest
