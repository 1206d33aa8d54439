#pragma once
// The program's own HID traffic on the device the Link library opened:
// feature reports for block writes and the firmware download, the answer
// input report, and the switch output report. Handles are the HID layer's
// 32-bit handles (HidDevice +8). Results are the program's error numbers
// (core/codes.h): 0 success, 258 time-out, 995 cancelled, others failures.
// Every method may be called from any thread.
#include <cstddef>
#include <cstdint>

namespace lw {

class HidTransportPort {
 public:
  virtual ~HidTransportPort() = default;
  // Reports start with the report-ID byte; length counts it.
  virtual uint32_t setFeature(uint32_t handle, const uint8_t* report, std::size_t length) = 0;
  virtual uint32_t getFeature(uint32_t handle, uint8_t* report, std::size_t length) = 0;
  // Reads one input report, waiting at most timeoutMs.
  virtual uint32_t readInput(uint32_t handle, uint8_t* report, std::size_t length, uint32_t timeoutMs) = 0;
  // Ends any read pending on the handle.
  virtual void cancelIo(uint32_t handle) = 0;
  virtual uint32_t writeOutput(uint32_t handle, const uint8_t* report, std::size_t length) = 0;
  // on: until called with false, opening an adapter finds only the one
  // opened last, wherever others are plugged in; for an adapter restarting
  // in another mode. A transport of one adapter has nothing to do.
  virtual void followLastDevice(bool on) { (void)on; }
};

}  // namespace lw
