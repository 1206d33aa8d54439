// The emulator backend: devices are the emulated adapters of one or more
// state directories, one adapter each. Every open handle gets its own copy of the input reports, as
// hidraw gives every open file its own queue; reports made while no handle is
// open are lost, as on a real bus.
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "core/codes.h"
#include "core/text.h"
#include "emulator/adapter_emulator.h"
#include "platform/hid/adapter_choice.h"
#include "platform/hid/hid_backend.h"

namespace lw::hid {
namespace {

using namespace std::chrono_literals;
using emu::Clock;

constexpr auto kRefreshInterval = 250ms;
constexpr auto kLongestWait = 10ms;

class EmulatedDevice;

// Waits until the time: sleeps for most of it and yields for the rest, so a
// transfer takes its modelled bus time rather than that plus the scheduler's
// lateness in waking a sleeper (about 0.1 ms, which over the 587 reports of
// a 64 KiB read would add 2% to the model).
void waitUntil(Clock::time_point end) {
  constexpr auto kYieldFor = 200us;
  std::this_thread::sleep_until(end - kYieldFor);
  while (Clock::now() < end) std::this_thread::yield();
}

// The emulator and everything that shares it, behind one mutex.
struct EmulatorHost {
  explicit EmulatorHost(const std::string& dir)
      : adapter(dir),
        instanceTag(static_cast<uint32_t>(std::hash<std::string>{}(dir) & 0xFFFFFF)),
        place(emulatorPlace(dir)) {}

  std::mutex mutex;
  std::condition_variable changed;
  emu::AdapterEmulator adapter;
  const uint32_t instanceTag;
  const std::string place;
  std::vector<std::weak_ptr<EmulatedDevice>> devices;
  std::deque<std::pair<bool, std::string>> events;
  bool monitoring = false;
  bool stopMonitor = false;

  std::string pathOf(DeviceIds ids, uint32_t attachment) const {
    return makeInterfacePath(ids, format("8&%06x&0&%04u", instanceTag, attachment));
  }

  bool attachedAs(uint32_t attachment) const {
    return adapter.attached() && adapter.attachment() == attachment;
  }

  // Runs what is due and hands input reports and bus events on. Called with
  // the mutex held.
  void pump(Clock::time_point now);
};

class EmulatedDevice final : public Device {
 public:
  EmulatedDevice(std::shared_ptr<EmulatorHost> host, uint32_t attachment, Lengths lengths)
      : host_(std::move(host)), attachment_(attachment), lengths_(lengths) {}

  Lengths lengths() const override { return lengths_; }

  uint32_t setFeature(std::span<const uint8_t> report) override {
    return transfer([&](Clock::time_point now) { return host_->adapter.setFeature(report, now); });
  }

  uint32_t writeOutput(std::span<const uint8_t> report) override {
    return transfer([&](Clock::time_point now) { return host_->adapter.writeOutput(report, now); });
  }

  // Like a strict device, a get-feature of any length but the feature
  // report's own is stalled before the adapter sees it, so a caller that
  // asks for more or less fails here as it would on such hardware.
  uint32_t getFeature(std::span<uint8_t> report) override {
    if (report.size() != lengths_.feature) return err::kGenFailure;
    std::vector<uint8_t> answer;
    const uint32_t error =
        transfer([&](Clock::time_point now) { return host_->adapter.getFeature(report[0], answer, now); });
    if (error != 0) return error;
    if (answer.size() != report.size()) return err::kInvalidData;
    std::copy(answer.begin(), answer.end(), report.begin());
    return 0;
  }

  uint32_t readInput(std::span<uint8_t> report, uint32_t timeoutMs) override {
    std::unique_lock lock(host_->mutex);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const uint64_t epoch = cancelEpoch_;
    for (;;) {
      const auto now = Clock::now();
      host_->pump(now);
      if (closed_ || cancelEpoch_ != epoch) return err::kOperationAborted;
      if (!input_.empty()) {
        const std::vector<uint8_t> r = std::move(input_.front());
        input_.pop_front();
        if (r.size() != lengths_.input) return err::kInvalidData;
        std::copy(r.begin(), r.end(), report.begin());
        return 0;
      }
      if (!host_->attachedAs(attachment_)) return err::kDeviceNotConnected;
      if (now >= deadline) return err::kWaitTimeout;
      auto wake = std::min(deadline, now + kLongestWait);
      if (auto due = host_->adapter.nextDue()) wake = std::min(wake, std::max(*due, now + 1ms));
      host_->changed.wait_until(lock, wake);
    }
  }

  void cancelIo() override {
    std::lock_guard lock(host_->mutex);
    ++cancelEpoch_;
    host_->changed.notify_all();
  }

  void close() override {
    std::lock_guard lock(host_->mutex);
    closed_ = true;
    input_.clear();
    host_->changed.notify_all();
  }

  // Called by the host with its mutex held.
  void deliver(const std::vector<uint8_t>& report, uint32_t attachment) {
    if (!closed_ && attachment == attachment_) input_.push_back(report);
  }

 private:
  template <typename Op>
  uint32_t transfer(Op op) {
    const auto start = Clock::now();
    std::unique_lock lock(host_->mutex);
    if (closed_) return err::kInvalidHandle;
    const auto now = Clock::now();
    host_->pump(now);
    if (!host_->attachedAs(attachment_)) return err::kDeviceNotConnected;
    const emu::Transfer t = op(now);
    host_->pump(now);
    lock.unlock();
    // The bus time of the transfer, outside the lock so other handles go on.
    if (t.latency.count() > 0) waitUntil(start + t.latency);
    return t.error;
  }

  std::shared_ptr<EmulatorHost> host_;
  const uint32_t attachment_;
  const Lengths lengths_;
  std::deque<std::vector<uint8_t>> input_;
  uint64_t cancelEpoch_ = 0;
  bool closed_ = false;
};

void EmulatorHost::pump(Clock::time_point now) {
  adapter.advance(now);
  const auto reports = adapter.takeInputReports(now);
  bool any = !reports.empty();
  if (!reports.empty()) {
    std::erase_if(devices, [](const std::weak_ptr<EmulatedDevice>& d) { return d.expired(); });
    for (const auto& weak : devices)
      if (auto d = weak.lock())
        for (const auto& r : reports) d->deliver(r, adapter.attachment());
  }
  for (const emu::BusEvent& e : adapter.takeBusEvents()) {
    if (!monitoring) continue;
    events.emplace_back(e.arrived, pathOf({e.vendorId, e.productId}, e.attachment));
    any = true;
  }
  if (any) changed.notify_all();
}

class EmulatorBackend final : public Backend {
 public:
  explicit EmulatorBackend(const std::string& dir) : host_(std::make_shared<EmulatorHost>(dir)) {
    std::lock_guard lock(host_->mutex);
    host_->adapter.refresh(Clock::now());
  }

  ~EmulatorBackend() override { stopMonitor(); }

  const std::string& place() const { return host_->place; }

  std::vector<DeviceInfo> enumerate() override {
    std::lock_guard lock(host_->mutex);
    const auto now = Clock::now();
    host_->adapter.refresh(now);
    host_->pump(now);
    std::vector<DeviceInfo> out;
    if (host_->adapter.attached()) {
      const DeviceIds ids{host_->adapter.vendorId(), host_->adapter.productId()};
      out.push_back({ids, host_->pathOf(ids, host_->adapter.attachment()), host_->place, "", "",
                     host_->adapter.settings().serial});
    }
    return out;
  }

  std::shared_ptr<Device> open(DeviceIds ids, const OpenPreference& prefer, uint32_t& error) override {
    std::lock_guard lock(host_->mutex);
    if (!prefer.admits(host_->place)) {
      error = err::kFileNotFound;
      return nullptr;
    }
    const auto now = Clock::now();
    host_->adapter.refresh(now);
    host_->pump(now);
    const emu::AdapterEmulator& a = host_->adapter;
    if (!a.attached() || a.vendorId() != ids.vendorId || a.productId() != ids.productId) {
      error = err::kFileNotFound;
      return nullptr;
    }
    if (a.faults().accessDenied) {
      error = err::kAccessDenied;
      return nullptr;
    }
    const emu::ReportLengths l = a.lengths();
    auto device = std::make_shared<EmulatedDevice>(host_, a.attachment(), Lengths{l.feature, l.input, l.output});
    device->place = host_->place;
    host_->devices.push_back(device);
    error = 0;
    return device;
  }

  bool startMonitor(ChangeSink sink) override {
    {
      std::lock_guard lock(host_->mutex);
      host_->monitoring = true;
      host_->stopMonitor = false;
    }
    // The thread owns a reference to the host, so it may outlive the backend
    // when the backend is replaced from inside a notification.
    thread_ = std::thread([host = host_, sink = std::move(sink)] { run(*host, sink); });
    return true;
  }

  void stopMonitor() override {
    {
      std::lock_guard lock(host_->mutex);
      host_->stopMonitor = true;
      host_->monitoring = false;
      host_->changed.notify_all();
    }
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) thread_.detach();
    else thread_.join();
  }

 private:
  // Keeps the emulator's clock running, notices changes other processes or a
  // person make in the state directory, and delivers bus events.
  static void run(EmulatorHost& host, const ChangeSink& sink) {
    std::unique_lock lock(host.mutex);
    auto nextRefresh = Clock::now();
    while (!host.stopMonitor) {
      auto now = Clock::now();
      if (now >= nextRefresh) {
        host.adapter.refresh(now);
        nextRefresh = now + kRefreshInterval;
      }
      host.pump(now);
      if (!host.events.empty()) {
        auto events = std::move(host.events);
        host.events.clear();
        lock.unlock();
        for (const auto& [arrived, path] : events) sink(arrived, path);
        lock.lock();
        continue;
      }
      auto wake = std::min(nextRefresh, now + 20ms);
      if (auto due = host.adapter.nextDue()) wake = std::min(wake, std::max(*due, now + 1ms));
      host.changed.wait_until(lock, wake);
    }
  }

  std::shared_ptr<EmulatorHost> host_;
  std::thread thread_;
};

// Several emulated adapters, as several adapters on one bus: offered in the
// order their directories were named, each with its own clock and monitor.
class EmulatorBus final : public Backend {
 public:
  explicit EmulatorBus(const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) adapters_.push_back(std::make_unique<EmulatorBackend>(dir));
  }

  std::vector<DeviceInfo> enumerate() override {
    std::vector<DeviceInfo> out;
    for (auto& a : adapters_)
      for (DeviceInfo& d : a->enumerate()) out.push_back(std::move(d));
    return out;
  }

  std::shared_ptr<Device> open(DeviceIds ids, const OpenPreference& prefer, uint32_t& error) override {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < adapters_.size(); ++i)
      if (adapters_[i]->place() == prefer.place) order.insert(order.begin(), i);
      else if (!prefer.only) order.push_back(i);
    error = err::kFileNotFound;
    for (const std::size_t i : order) {
      uint32_t e = 0;
      if (auto device = adapters_[i]->open(ids, {}, e)) {
        error = 0;
        return device;
      }
      // An adapter this user may not open is named rather than skipped over
      // in silence, unless another one opens.
      if (e == err::kAccessDenied) error = e;
    }
    return nullptr;
  }

  bool startMonitor(ChangeSink sink) override {
    bool any = false;
    for (auto& a : adapters_) any = a->startMonitor(sink) || any;
    return any;
  }

  void stopMonitor() override {
    for (auto& a : adapters_) a->stopMonitor();
  }

 private:
  std::vector<std::unique_ptr<EmulatorBackend>> adapters_;
};

}  // namespace

std::unique_ptr<Backend> makeEmulatorBackend(const std::vector<std::string>& directories) {
  if (directories.size() == 1) return std::make_unique<EmulatorBackend>(directories.front());
  return std::make_unique<EmulatorBus>(directories);
}

}  // namespace lw::hid
