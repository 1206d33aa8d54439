#pragma once
// Arrival and removal of HID device interfaces, as the main window needs to
// hear of them. Notifications are delivered on the UI thread.
#include <functional>
#include <string>

namespace lw {

class DeviceWatchPort {
 public:
  virtual ~DeviceWatchPort() = default;
  using Listener = std::function<void(bool arrived, const std::string& interfacePath)>;
  // Starts delivering notifications. Returns false when registration failed.
  virtual bool watch(Listener listener) = 0;
  virtual void unwatch() = 0;
};

}  // namespace lw
