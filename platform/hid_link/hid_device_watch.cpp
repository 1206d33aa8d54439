#include "platform/hid_link/hid_device_watch.h"

#include <mutex>
#include <string>

#include "platform/hid/hid_api.h"
#include "core/ports/event_loop_port.h"

namespace lw {

// What the layer's thread and the posted calls share. Posted calls check
// that the watch is still on before they reach the listener, so a
// notification that arrives after unwatch() is dropped.
struct HidDeviceWatch::Shared {
  std::mutex mutex;
  bool active = false;
  Listener listener;
  EventLoopPort* loop = nullptr;
  std::shared_ptr<Shared> self;  // keeps the block alive while the layer may call back
};

namespace {

void onChange(void* context, int arrived, const char* path) {
  auto* shared = static_cast<HidDeviceWatch::Shared*>(context);
  std::shared_ptr<HidDeviceWatch::Shared> keep;
  {
    std::lock_guard lock(shared->mutex);
    if (!shared->active) return;
    keep = shared->self;
  }
  const std::string interfacePath = path ? path : "";
  keep->loop->post([keep, arrived, interfacePath] {
    DeviceWatchPort::Listener listener;
    {
      std::lock_guard lock(keep->mutex);
      if (!keep->active) return;
      listener = keep->listener;
    }
    if (listener) listener(arrived != 0, interfacePath);
  });
}

}  // namespace

HidDeviceWatch::HidDeviceWatch(EventLoopPort& loop) : loop_(loop), shared_(std::make_shared<Shared>()) {
  shared_->loop = &loop_;
  shared_->self = shared_;
}

HidDeviceWatch::~HidDeviceWatch() {
  unwatch();
  std::lock_guard lock(shared_->mutex);
  shared_->self.reset();
}

bool HidDeviceWatch::watch(Listener listener) {
  unwatch();
  {
    std::lock_guard lock(shared_->mutex);
    shared_->listener = std::move(listener);
    shared_->active = true;
  }
  watchId_ = lw_hid_watch(&onChange, shared_.get());
  if (watchId_ <= 0) {
    std::lock_guard lock(shared_->mutex);
    shared_->active = false;
    watchId_ = 0;
    return false;
  }
  return true;
}

void HidDeviceWatch::unwatch() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->active = false;
  }
  if (watchId_ > 0) lw_hid_unwatch(watchId_);
  watchId_ = 0;
}

}  // namespace lw
