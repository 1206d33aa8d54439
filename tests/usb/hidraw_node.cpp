#include "tests/usb/hidraw_node.h"

#include <cerrno>

namespace lw::usbtest {

void HidrawNode::appear(UsbHidDevice& device, HidIdentity identity, std::unique_ptr<PollSignal> signal) {
  ++appearance_;
  device_ = &device;
  identity_ = std::move(identity);
  signal_ = std::move(signal);
}

void HidrawNode::leave() {
  device_ = nullptr;
  // Files opened on it keep what they had not read; poll() reports the hang-up.
  if (signal_) signal_->hangUp();
  signal_.reset();
}

void HidrawNode::deliver(const std::vector<uint8_t>& report) {
  if (!device_) return;
  for (auto& [client, file] : files_) {
    if (file.appearance != appearance_) continue;
    file.waiting.push_back(report);
    signal_->raise();
  }
}

UsbHidDevice* HidrawNode::deviceFor(ClientId client) {
  const auto it = files_.find(client);
  return it != files_.end() && it->second.appearance == appearance_ ? device_ : nullptr;
}

void HidrawNode::opened(ClientId client) {
  std::lock_guard lock(mutex_);
  files_[client].appearance = appearance_;
  if (hooks_.opened) hooks_.opened();
}

void HidrawNode::closed(ClientId client) {
  std::lock_guard lock(mutex_);
  const auto it = files_.find(client);
  if (it == files_.end()) return;
  if (it->second.appearance == appearance_ && signal_)
    for (std::size_t i = 0; i < it->second.waiting.size(); ++i) signal_->lower();
  files_.erase(it);
}

long HidrawNode::ioctl(ClientId client, unsigned long request, std::span<uint8_t> arg) {
  std::lock_guard lock(mutex_);
  const long r = hidrawIoctl(deviceFor(client), identity_, request, arg);
  if (hooks_.afterTransfer) hooks_.afterTransfer();
  return r;
}

long HidrawNode::write(ClientId client, std::span<const uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  const long r = hidrawWrite(deviceFor(client), buffer);
  if (hooks_.afterTransfer) hooks_.afterTransfer();
  return r;
}

long HidrawNode::read(ClientId client, std::span<uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  const auto it = files_.find(client);
  if (it == files_.end()) return -EBADF;
  OpenFile& file = it->second;
  const bool present = file.appearance == appearance_ && device_ != nullptr;
  const long r = hidrawRead(file.waiting.empty() ? nullptr : &file.waiting.front(), present, buffer);
  if (r >= 0) {
    file.waiting.pop_front();
    if (present) signal_->lower();
  }
  return r;
}

}  // namespace lw::usbtest
