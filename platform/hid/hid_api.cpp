// The HID layer's C API: the table of 32-bit handles, the backend chosen by
// LOOMWRITE_ADAPTER or lw_hid_select_backend, the place of the device opened
// last, and the watch list. Handles are
// never reused while the process runs (until the 32-bit counter wraps), so a
// stale handle is refused instead of reaching another device.
#include "platform/hid/hid_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/codes.h"
#include "platform/hid/adapter_choice.h"
#include "platform/hid/hid_backend.h"

namespace lw::hid {
namespace {

constexpr char kEnvironmentVariable[] = "LOOMWRITE_ADAPTER";

// Stands in when the chosen backend is unusable: no devices at all.
class NoBackend final : public Backend {
 public:
  std::vector<DeviceInfo> enumerate() override { return {}; }
  std::shared_ptr<Device> open(DeviceIds, const OpenPreference&, uint32_t& error) override {
    error = err::kFileNotFound;
    return nullptr;
  }
  bool startMonitor(ChangeSink) override { return false; }
  void stopMonitor() override {}
};

struct Watch {
  lw_hid_change_callback callback;
  void* context;
};

class Layer {
 public:
  ~Layer() {
    std::shared_ptr<Backend> old;
    {
      std::lock_guard lock(mutex_);
      closeAllLocked();
      old = std::move(backend_);
    }
    if (old) old->stopMonitor();
  }

  uint32_t select(const char* spec) {
    std::string chosen;
    if (spec) {
      chosen = spec;
    } else if (const char* env = std::getenv(kEnvironmentVariable)) {
      chosen = env;
    }
    std::unique_ptr<Backend> next;
    const uint32_t result = make(chosen, next);
    if (result != 0 && spec) return result;  // a bad explicit choice keeps the current backend
    install(std::move(next));
    return result;
  }

  std::shared_ptr<Backend> backend() {
    std::unique_lock lock(mutex_);
    if (!backend_) {
      lock.unlock();
      select(nullptr);
      lock.lock();
    }
    return backend_;
  }

  // The adapter opened last first, wherever it sits in the order; while
  // following it, no other.
  OpenPreference preference() {
    std::lock_guard lock(mutex_);
    return {lastPlace_, following_ && !lastPlace_.empty()};
  }

  void follow(bool on) {
    std::lock_guard lock(mutex_);
    following_ = on;
  }

  lw_hid_handle add(std::shared_ptr<Device> device) {
    std::lock_guard lock(mutex_);
    lastPlace_ = device->place;
    do {
      ++next_;
    } while (next_ == 0 || handles_.count(next_) != 0);
    handles_[next_] = std::move(device);
    return next_;
  }

  std::shared_ptr<Device> find(lw_hid_handle h) {
    std::lock_guard lock(mutex_);
    const auto it = handles_.find(h);
    return it == handles_.end() ? nullptr : it->second;
  }

  void remove(lw_hid_handle h) {
    std::shared_ptr<Device> device;
    {
      std::lock_guard lock(mutex_);
      const auto it = handles_.find(h);
      if (it == handles_.end()) return;
      device = std::move(it->second);
      handles_.erase(it);
    }
    device->close();
  }

  std::string lastPlace() {
    std::lock_guard lock(mutex_);
    return lastPlace_;
  }

  int watch(lw_hid_change_callback callback, void* context) {
    if (!callback) return 0;
    std::shared_ptr<Backend> b = backend();
    std::lock_guard lock(mutex_);
    if (!monitoring_) {
      monitoring_ = b->startMonitor([this](bool arrived, const std::string& path) { dispatch(arrived, path); });
      if (!monitoring_) return 0;
    }
    const int id = ++nextWatch_;
    watches_[id] = {callback, context};
    return id;
  }

  void unwatch(int id) {
    {
      std::lock_guard lock(mutex_);
      watches_.erase(id);
    }
    // Wait for a notification that may be calling the removed watch right
    // now, so the caller can free its context at once.
    std::lock_guard wait(dispatching_);
  }

 private:
  static uint32_t make(const std::string& spec, std::unique_ptr<Backend>& out) {
    std::string problem;
    if (const auto choice = parseAdapterChoice(spec, problem)) {
      if (choice->bus == AdapterChoice::Bus::kEmulator) out = makeEmulatorBackend(choice->emulatorDirs);
      else out = makeUsbBackend(choice->usbPort, choice->usbNode);
      return 0;
    }
    std::fprintf(stderr, "%s: unknown adapter \"%s\": %s (no adapter will be found)\n", kEnvironmentVariable,
                 spec.c_str(), problem.c_str());
    out = std::make_unique<NoBackend>();
    return err::kInvalidParameter;
  }

  void install(std::unique_ptr<Backend> next) {
    std::shared_ptr<Backend> old;
    bool restart = false;
    {
      std::lock_guard lock(mutex_);
      closeAllLocked();
      old = std::move(backend_);
      backend_ = std::move(next);
      lastPlace_.clear();
      following_ = false;
      restart = monitoring_;
      monitoring_ = false;
    }
    if (old) old->stopMonitor();
    if (restart) {
      std::lock_guard lock(mutex_);
      monitoring_ = backend_->startMonitor([this](bool arrived, const std::string& path) { dispatch(arrived, path); });
    }
  }

  void closeAllLocked() {
    for (auto& [h, device] : handles_) device->close();
    handles_.clear();
  }

  void dispatch(bool arrived, const std::string& path) {
    std::lock_guard busy(dispatching_);
    std::map<int, Watch> current;
    {
      std::lock_guard lock(mutex_);
      current = watches_;
    }
    for (const auto& [id, w] : current) {
      {
        std::lock_guard lock(mutex_);
        if (watches_.count(id) == 0) continue;  // removed by an earlier callback
      }
      w.callback(w.context, arrived ? 1 : 0, path.c_str());
    }
  }

  std::mutex mutex_;
  std::recursive_mutex dispatching_;
  std::shared_ptr<Backend> backend_;
  std::map<lw_hid_handle, std::shared_ptr<Device>> handles_;
  lw_hid_handle next_ = 0;
  std::string lastPlace_;
  bool following_ = false;
  std::map<int, Watch> watches_;
  int nextWatch_ = 0;
  bool monitoring_ = false;
};

Layer& layer() {
  static Layer instance;
  return instance;
}

// A report of the length the device declares (when it declares one).
bool lengthFits(std::size_t length, uint8_t declared) { return declared == 0 || length == declared; }

}  // namespace
}  // namespace lw::hid

using lw::hid::layer;
namespace err = lw::err;

extern "C" {

uint32_t lw_hid_select_backend(const char* spec) { return layer().select(spec); }

int lw_hid_enumerate(lw_hid_device_info* out, int max) {
  const auto devices = layer().backend()->enumerate();
  for (int i = 0; out && i < max && i < static_cast<int>(devices.size()); ++i) {
    out[i] = {};
    out[i].vendor_id = devices[i].ids.vendorId;
    out[i].product_id = devices[i].ids.productId;
    std::snprintf(out[i].interface_path, sizeof out[i].interface_path, "%s", devices[i].interfacePath.c_str());
  }
  return static_cast<int>(devices.size());
}

int lw_hid_enumerate_places(lw_hid_place_info* out, int max) {
  const auto devices = layer().backend()->enumerate();
  for (int i = 0; out && i < max && i < static_cast<int>(devices.size()); ++i) {
    const lw::hid::DeviceInfo& d = devices[static_cast<std::size_t>(i)];
    out[i] = {};
    out[i].vendor_id = d.ids.vendorId;
    out[i].product_id = d.ids.productId;
    std::snprintf(out[i].interface_path, sizeof out[i].interface_path, "%s", d.interfacePath.c_str());
    std::snprintf(out[i].place, sizeof out[i].place, "%s", d.place.c_str());
    std::snprintf(out[i].port, sizeof out[i].port, "%s", d.port.c_str());
    std::snprintf(out[i].node, sizeof out[i].node, "%s", d.node.c_str());
    std::snprintf(out[i].serial, sizeof out[i].serial, "%s", d.serial.c_str());
  }
  return static_cast<int>(devices.size());
}

size_t lw_hid_last_place(char* out, size_t size) {
  const std::string place = layer().lastPlace();
  if (out && size > 0) std::snprintf(out, size, "%s", place.c_str());
  return place.size();
}

lw_hid_handle lw_hid_open(uint16_t vendor_id, uint16_t product_id, uint32_t* error) {
  uint32_t e = 0;
  auto backend = layer().backend();
  auto device = backend->open({vendor_id, product_id}, layer().preference(), e);
  if (error) *error = device ? 0 : (e != 0 ? e : err::kFileNotFound);
  return device ? layer().add(std::move(device)) : 0;
}

void lw_hid_close(lw_hid_handle h) { layer().remove(h); }

void lw_hid_follow_last(int on) { layer().follow(on != 0); }

uint32_t lw_hid_report_lengths(lw_hid_handle h, uint8_t* feature, uint8_t* input, uint8_t* output) {
  const auto device = layer().find(h);
  if (!device) return err::kInvalidHandle;
  const lw::hid::Lengths l = device->lengths();
  if (feature) *feature = l.feature;
  if (input) *input = l.input;
  if (output) *output = l.output;
  return 0;
}

uint32_t lw_hid_set_feature(lw_hid_handle h, const uint8_t* report, size_t length) {
  const auto device = layer().find(h);
  if (!device) return err::kInvalidHandle;
  if (!report || length == 0 || !lw::hid::lengthFits(length, device->lengths().feature)) return err::kInvalidParameter;
  return device->setFeature({report, length});
}

uint32_t lw_hid_get_feature(lw_hid_handle h, uint8_t* report, size_t length) {
  const auto device = layer().find(h);
  if (!device) return err::kInvalidHandle;
  if (!report || length == 0 || !lw::hid::lengthFits(length, device->lengths().feature)) return err::kInvalidParameter;
  return device->getFeature({report, length});
}

uint32_t lw_hid_read_input(lw_hid_handle h, uint8_t* report, size_t length, uint32_t timeout_ms) {
  const auto device = layer().find(h);
  if (!device) return err::kInvalidHandle;
  if (!report || length == 0 || length < device->lengths().input) return err::kInvalidParameter;
  return device->readInput({report, length}, timeout_ms);
}

void lw_hid_cancel_io(lw_hid_handle h) {
  if (const auto device = layer().find(h)) device->cancelIo();
}

uint32_t lw_hid_write_output(lw_hid_handle h, const uint8_t* report, size_t length) {
  const auto device = layer().find(h);
  if (!device) return err::kInvalidHandle;
  if (!report || length == 0 || !lw::hid::lengthFits(length, device->lengths().output)) return err::kInvalidParameter;
  return device->writeOutput({report, length});
}

int lw_hid_watch(lw_hid_change_callback callback, void* context) { return layer().watch(callback, context); }

void lw_hid_unwatch(int watch_id) { layer().unwatch(watch_id); }

}  // extern "C"
