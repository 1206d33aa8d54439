#pragma once
// Device arrival and removal from the HID platform layer, delivered on the
// UI thread: the layer calls back on its own thread, so every notification
// is posted through the event loop before the listener sees it.
#include <memory>

#include "core/ports/device_watch_port.h"

namespace lw {

class EventLoopPort;

class HidDeviceWatch final : public DeviceWatchPort {
 public:
  explicit HidDeviceWatch(EventLoopPort& loop);
  ~HidDeviceWatch() override;
  bool watch(Listener listener) override;
  void unwatch() override;

 public:
  struct Shared;  // state shared with the layer's thread

 private:
  EventLoopPort& loop_;
  std::shared_ptr<Shared> shared_;
  int watchId_ = 0;
};

}  // namespace lw
