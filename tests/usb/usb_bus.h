#pragma once
// A USB bus in a umockdev testbed with the project's adapter emulator
// plugged into its ports: each adapter shows the device tree the kernel
// shows, its hidraw node answers with the kernel's hidraw rules, and behind
// the node runs the emulator with the state directory the emulator backend
// uses. When the emulator leaves the bus (command 9, the switch report, a
// reset, a vanish fault, connected = no) its devices are removed with
// "remove" uevents; when it comes back, they are added again at the same
// port, with the "add" uevents a udev monitor receives.
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/usb/hidraw_node.h"
#include "tests/usb/testbed.h"
#include "tests/usb/trace_recorder.h"

namespace lw::usbtest {

class UsbBus {
 public:
  UsbBus();
  ~UsbBus();
  UsbBus(const UsbBus&) = delete;
  UsbBus& operator=(const UsbBus&) = delete;

  // Plugs the emulated adapter with its state in stateDir into the port
  // ("1-2.3"); returns its number. It appears at once when its adapter.ini
  // says connected.
  std::size_t plug(const std::string& port, const std::filesystem::path& stateDir);
  // Plugs the adapter in or pulls it out, as connected = yes/no in its
  // adapter.ini does.
  void setConnected(std::size_t adapter, bool connected);
  // Its node from now on refuses to be opened, as a hidraw node without the
  // udev rule refuses a user who is not root.
  void denyAccess(std::size_t adapter);

  // From now on (call it before plugging anything in) every node records
  // its calls as umockdev-record does, into dir/hidrawN.ioctl and
  // dir/hidrawN.script, written when the bus ends.
  void traceTo(const std::filesystem::path& dir);
  // The adapter's devices now, as umockdev-record prints them.
  std::string recordedTree(std::size_t adapter) const;

  // "add usb:1-2.3 0325 /dev/hidraw0", "remove ...", in the order announced.
  std::vector<std::string> events() const;
  // The node of the adapter now; empty while it is away.
  std::string nodeOf(std::size_t adapter) const;
  Testbed& testbed() { return testbed_; }

 private:
  struct Adapter;

  void pumpLocked();
  void appearLocked(Adapter& a);
  void leaveLocked(Adapter& a);
  HidrawNode& nodeLocked(unsigned minor);
  unsigned freeMinorLocked() const;
  void refreshLocked();
  void run();

  Testbed testbed_;
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<Adapter>> adapters_;
  std::vector<std::unique_ptr<HidrawNode>> nodes_;  // by minor
  std::filesystem::path traceDir_;
  std::vector<std::unique_ptr<TraceRecorder>> recorders_;
  unsigned nextDevnum_ = 5;
  unsigned nextHidInstance_ = 1;
  std::vector<std::string> events_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread pump_;
};

}  // namespace lw::usbtest
