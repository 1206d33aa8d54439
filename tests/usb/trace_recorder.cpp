#include "tests/usb/trace_recorder.h"

#include <algorithm>
#include <fstream>

namespace lw::usbtest {

TraceRecorder::~TraceRecorder() {
  const std::string name = device_.substr(device_.rfind('/') + 1);
  std::ofstream(dir_ / (name + ".ioctl")) << formatIoctlTrace(device_, ioctls_);
  std::ofstream(dir_ / (name + ".script")) << formatScript(device_, script_);
}

long TraceRecorder::ioctl(ClientId client, unsigned long request, std::span<uint8_t> arg) {
  const long result = node_.ioctl(client, request, arg);
  const std::string name = hidrawIoctlName(request);
  // Failed ioctls are not recorded, and an equal one only once.
  if (result < 0 || name.empty()) return result;
  IoctlRecord record{name, result, {arg.begin(), arg.end()}};
  std::lock_guard lock(mutex_);
  if (std::find(ioctls_.begin(), ioctls_.end(), record) == ioctls_.end()) ioctls_.push_back(std::move(record));
  return result;
}

long TraceRecorder::read(ClientId client, std::span<uint8_t> buffer) {
  const long result = node_.read(client, buffer);
  if (result > 0) note('r', buffer.first(static_cast<std::size_t>(result)));
  return result;
}

long TraceRecorder::write(ClientId client, std::span<const uint8_t> buffer) {
  const long result = node_.write(client, buffer);
  if (result > 0) note('w', buffer.first(static_cast<std::size_t>(result)));
  return result;
}

// Like umockdev-record, an operation within 10 ms of one of its own kind
// joins that record.
void TraceRecorder::note(char op, std::span<const uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  const auto now = std::chrono::steady_clock::now();
  const auto ms = static_cast<unsigned long>(std::chrono::duration_cast<std::chrono::milliseconds>(now - last_).count());
  last_ = now;
  if (!script_.empty() && script_.back().op == op && ms < 10) {
    script_.back().data.insert(script_.back().data.end(), bytes.begin(), bytes.end());
    return;
  }
  script_.push_back({op, ms, {bytes.begin(), bytes.end()}});
}

}  // namespace lw::usbtest
