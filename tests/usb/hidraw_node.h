#pragma once
// One /dev/hidrawN as the kernel keeps it: the device of its current
// appearance (none once it has left), every open file with its own queue of
// input reports, and the pseudo-terminal that poll() on the node watches.
// Every call runs under the bus's lock.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "tests/usb/hidraw_rules.h"
#include "tests/usb/node_calls.h"
#include "tests/usb/poll_signal.h"

namespace lw::usbtest {

struct NodeHooks {
  std::function<void()> opened;         // a program opened the node
  std::function<void()> afterTransfer;  // hand on what a transfer caused
};

class HidrawNode final : public NodeCalls {
 public:
  HidrawNode(std::mutex& busMutex, NodeHooks hooks) : mutex_(busMutex), hooks_(std::move(hooks)) {}

  // Called with the bus's lock held.
  void appear(UsbHidDevice& device, HidIdentity identity, std::unique_ptr<PollSignal> signal);
  void leave();
  void deliver(const std::vector<uint8_t>& report);  // to every file opened on this appearance
  // The kernel keeps a minor until the last file on it is closed.
  bool inUse() const { return device_ != nullptr || !files_.empty(); }

  void opened(ClientId client) override;
  void closed(ClientId client) override;
  long ioctl(ClientId client, unsigned long request, std::span<uint8_t> arg) override;
  long read(ClientId client, std::span<uint8_t> buffer) override;
  long write(ClientId client, std::span<const uint8_t> buffer) override;

 private:
  struct OpenFile {
    uint64_t appearance = 0;
    std::deque<std::vector<uint8_t>> waiting;
  };
  // The device, for a file opened on the current appearance; else none.
  UsbHidDevice* deviceFor(ClientId client);

  std::mutex& mutex_;
  NodeHooks hooks_;
  uint64_t appearance_ = 0;
  UsbHidDevice* device_ = nullptr;
  HidIdentity identity_;
  std::unique_ptr<PollSignal> signal_;
  std::map<ClientId, OpenFile> files_;
};

}  // namespace lw::usbtest
