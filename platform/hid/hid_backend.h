#pragma once
// What a backend of the HID layer provides. The C API in hid_api.h keeps the
// handle table and the watch list; backends only open devices, move reports
// and report arrivals and removals.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/interface_path.h"

namespace lw::hid {

struct DeviceInfo {
  DeviceIds ids;
  std::string interfacePath;
  std::string place;   // the choice that names only this adapter: "usb:1-2.3", "emulator:DIR"
  std::string port;    // USB port path; empty for an emulated adapter or a device off USB
  std::string node;    // "/dev/hidraw3"; empty for an emulated adapter
  std::string serial;  // the USB serial number string; empty when the device has none
};

struct Lengths {
  uint8_t feature = 0;
  uint8_t input = 0;
  uint8_t output = 0;
};

// One open device. Every call may come from any thread; close() may race
// with a read in progress, which then returns err::kOperationAborted.
class Device {
 public:
  virtual ~Device() = default;
  virtual Lengths lengths() const = 0;
  virtual uint32_t setFeature(std::span<const uint8_t> report) = 0;
  virtual uint32_t getFeature(std::span<uint8_t> report) = 0;
  virtual uint32_t readInput(std::span<uint8_t> report, uint32_t timeoutMs) = 0;
  virtual uint32_t writeOutput(std::span<const uint8_t> report) = 0;
  virtual void cancelIo() = 0;
  virtual void close() = 0;

  std::string place;  // as in DeviceInfo
};

// Which device open() takes when several have the ids.
struct OpenPreference {
  std::string place;  // this one first when it is on offer
  bool only = false;  // and no other
  bool admits(const std::string& p) const { return !only || p == place; }
};

using ChangeSink = std::function<void(bool arrived, const std::string& interfacePath)>;

class Backend {
 public:
  virtual ~Backend() = default;
  // Every device on offer, in the order open() tries them.
  virtual std::vector<DeviceInfo> enumerate() = 0;
  // The first device with the ids, but one at the preferred place first;
  // with prefer.only, no other.
  virtual std::shared_ptr<Device> open(DeviceIds ids, const OpenPreference& prefer, uint32_t& error) = 0;
  // Starts delivering arrivals and removals to sink on a thread of the
  // backend; false when the platform cannot. Called at most once.
  virtual bool startMonitor(ChangeSink sink) = 0;
  // Stops the monitor thread; no call of the sink is running or will run
  // afterwards, unless stop is called from the sink itself.
  virtual void stopMonitor() = 0;
};

// port, node: only the adapter at that USB port or hidraw node; empty: any.
std::unique_ptr<Backend> makeUsbBackend(const std::string& port, const std::string& node);
// One emulated adapter per state directory, offered in that order.
std::unique_ptr<Backend> makeEmulatorBackend(const std::vector<std::string>& directories);

}  // namespace lw::hid
