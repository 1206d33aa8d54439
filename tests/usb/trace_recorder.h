#pragma once
// Records the calls on a node as umockdev-record does on a real adapter:
// the ioctls that succeeded, each distinct one once, and the reads and
// writes as a script, into DIR/hidrawN.ioctl and DIR/hidrawN.script when
// it ends. The harness records its emulated adapters with it, so that the
// replay of a recording can be tested without hardware.
#include <chrono>
#include <filesystem>
#include <mutex>

#include "tests/usb/node_calls.h"
#include "tests/usb/umockdev_trace.h"

namespace lw::usbtest {

class TraceRecorder final : public NodeCalls {
 public:
  TraceRecorder(NodeCalls& node, std::string device, std::filesystem::path dir)
      : node_(node), device_(std::move(device)), dir_(std::move(dir)) {}
  ~TraceRecorder() override;

  void opened(ClientId client) override { node_.opened(client); }
  void closed(ClientId client) override { node_.closed(client); }
  long ioctl(ClientId client, unsigned long request, std::span<uint8_t> arg) override;
  long read(ClientId client, std::span<uint8_t> buffer) override;
  long write(ClientId client, std::span<const uint8_t> buffer) override;

 private:
  void note(char op, std::span<const uint8_t> bytes);

  NodeCalls& node_;
  const std::string device_;
  const std::filesystem::path dir_;
  std::mutex mutex_;
  std::vector<IoctlRecord> ioctls_;
  std::vector<ScriptRecord> script_;
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

}  // namespace lw::usbtest
