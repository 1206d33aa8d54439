#include "tests/usb/usb_bus.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "core/abi/link_abi.h"
#include "core/text.h"
#include "emulator/adapter_emulator.h"
#include "tests/usb/adapter_record.h"
#include "tests/usb/emulated_usb_device.h"

namespace lw::usbtest {
namespace {

using namespace std::chrono_literals;

constexpr auto kPumpInterval = 5ms;
constexpr auto kRefreshInterval = 250ms;

}  // namespace

struct UsbBus::Adapter {
  Adapter(std::string p, const std::filesystem::path& dir) : port(std::move(p)), emulator(dir) {}

  struct Appearance {
    UsbAppearance usb;
    AppearancePaths paths;
    std::unique_ptr<EmulatedUsbDevice> device;
  };

  std::string port;
  emu::AdapterEmulator emulator;
  std::optional<Appearance> current;
  bool accessDenied = false;
};

UsbBus::UsbBus() : pump_([this] { run(); }) {}

UsbBus::~UsbBus() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  pump_.join();
  testbed_.detachAll();
}

std::size_t UsbBus::plug(const std::string& port, const std::filesystem::path& stateDir) {
  std::lock_guard lock(mutex_);
  adapters_.push_back(std::make_unique<Adapter>(port, stateDir));
  Adapter& a = *adapters_.back();
  a.emulator.refresh(emu::Clock::now());
  if (a.emulator.attached()) appearLocked(a);
  return adapters_.size() - 1;
}

void UsbBus::setConnected(std::size_t adapter, bool connected) {
  std::lock_guard lock(mutex_);
  const std::filesystem::path file = adapters_.at(adapter)->emulator.directory() / "adapter.ini";
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  const std::regex key("(^|\n)connected *=[^\n]*");
  const std::string line = std::string("connected = ") + (connected ? "yes" : "no");
  const std::string edited = std::regex_search(text.str(), key) ? std::regex_replace(text.str(), key, "$1" + line)
                                                                : text.str() + "\n" + line + "\n";
  const std::filesystem::path temp = file.string() + ".edit";
  std::ofstream(temp) << edited;
  std::filesystem::rename(temp, file);
  adapters_[adapter]->emulator.refresh(emu::Clock::now());
  pumpLocked();
}

void UsbBus::denyAccess(std::size_t adapter) {
  std::lock_guard lock(mutex_);
  Adapter& a = *adapters_.at(adapter);
  a.accessDenied = true;
  if (a.current) ::chmod(std::filesystem::read_symlink(testbed_.root() + a.current->paths.node).c_str(), 0);
}

void UsbBus::traceTo(const std::filesystem::path& dir) {
  std::lock_guard lock(mutex_);
  traceDir_ = dir;
}

std::string UsbBus::recordedTree(std::size_t adapter) const {
  std::lock_guard lock(mutex_);
  const Adapter& a = *adapters_.at(adapter);
  return a.current ? usbtest::recordedTree(a.current->usb) : std::string();
}

std::vector<std::string> UsbBus::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::string UsbBus::nodeOf(std::size_t adapter) const {
  std::lock_guard lock(mutex_);
  const Adapter& a = *adapters_.at(adapter);
  return a.current ? a.current->paths.node : std::string();
}

HidrawNode& UsbBus::nodeLocked(unsigned minor) {
  while (nodes_.size() <= minor) {
    NodeHooks hooks;
    // A program that opens the adapter sees what was changed in its state
    // directory since, as it does through the emulator backend.
    hooks.opened = [this] { refreshLocked(); };
    hooks.afterTransfer = [this] { pumpLocked(); };
    nodes_.push_back(std::make_unique<HidrawNode>(mutex_, std::move(hooks)));
    const std::string devnode = format("/dev/hidraw%zu", nodes_.size() - 1);
    NodeCalls* calls = nodes_.back().get();
    if (!traceDir_.empty()) {
      recorders_.push_back(std::make_unique<TraceRecorder>(*calls, devnode, traceDir_));
      calls = recorders_.back().get();
    }
    testbed_.attach(devnode, *calls);
  }
  return *nodes_[minor];
}

unsigned UsbBus::freeMinorLocked() const {
  unsigned minor = 0;
  while (minor < nodes_.size() && nodes_[minor]->inUse()) ++minor;
  return minor;
}

void UsbBus::appearLocked(Adapter& a) {
  Adapter::Appearance now;
  now.usb = {a.port, a.emulator.productId(), a.emulator.settings().serial, nextDevnum_++, nextHidInstance_++,
             freeMinorLocked()};
  now.paths = pathsOf(now.usb);
  now.device = std::make_unique<EmulatedUsbDevice>(a.emulator, adapterLayout(now.usb.productId));
  HidrawNode& node = nodeLocked(now.usb.minor);

  // The node and the hidraw device's link to its hid device exist before
  // the device is announced, as udev has made them when a monitor hears of it.
  auto signal = std::make_unique<PollSignal>();
  testbed_.setNode(now.paths.node, signal->path());
  if (a.accessDenied) ::chmod(signal->path().c_str(), 0);
  testbed_.link(now.paths.hidraw, "device", "../../../" + now.paths.hid.substr(now.paths.hid.rfind('/') + 1));
  HidIdentity identity{kAdapterVendorId, now.usb.productId, reportDescriptor(adapterLayout(now.usb.productId)),
                       hidName(), hidPhys(a.port), now.usb.serial};
  node.appear(*now.device, std::move(identity), std::move(signal));
  testbed_.add(deviceRecord(now.usb, false));
  events_.push_back(format("add usb:%s %04x %s", a.port.c_str(), unsigned{now.usb.productId}, now.paths.node.c_str()));
  a.current = std::move(now);
}

void UsbBus::leaveLocked(Adapter& a) {
  if (!a.current) return;
  const Adapter::Appearance& gone = *a.current;
  nodes_[gone.usb.minor]->leave();
  const AppearancePaths& p = gone.paths;
  for (const std::string* device : {&p.hidraw, &p.hid, &p.interface, &p.usbDevice}) testbed_.uevent(*device, "remove");
  for (const std::string* device : {&p.hidraw, &p.hid, &p.interface, &p.usbDevice}) testbed_.remove(*device);
  testbed_.removeNode(p.node);
  events_.push_back(format("remove usb:%s %04x %s", a.port.c_str(), unsigned{gone.usb.productId}, p.node.c_str()));
  a.current.reset();
}

void UsbBus::pumpLocked() {
  const auto now = emu::Clock::now();
  for (auto& a : adapters_) {
    a->emulator.advance(now);
    const auto reports = a->emulator.takeInputReports(now);
    if (a->current)
      for (const auto& r : reports) nodes_[a->current->usb.minor]->deliver(a->current->device->onTheWire(r));
    for (const emu::BusEvent& e : a->emulator.takeBusEvents()) {
      if (!e.arrived) leaveLocked(*a);
      else if (!a->current) appearLocked(*a);
    }
  }
}

void UsbBus::refreshLocked() {
  for (auto& a : adapters_) a->emulator.refresh(emu::Clock::now());
  pumpLocked();
}

// Keeps the emulators' clocks running: answers that are due, a block given
// up, an adapter coming back after re-enumeration, and edits of the state
// files made while nothing opens the adapter.
void UsbBus::run() {
  std::unique_lock lock(mutex_);
  auto nextRefresh = emu::Clock::now();
  while (!stop_) {
    if (emu::Clock::now() >= nextRefresh) {
      refreshLocked();
      nextRefresh = emu::Clock::now() + kRefreshInterval;
    } else {
      pumpLocked();
    }
    wake_.wait_for(lock, kPumpInterval);
  }
}

}  // namespace lw::usbtest
