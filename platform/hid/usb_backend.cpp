// The real USB backend: hidapi over hidraw for the reports, libudev for
// arrival and removal. Paths are built from the hidraw node's HID_ID so
// they read like the program's device templates.
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <thread>

#include "core/codes.h"
#include "platform/hid/adapter_choice.h"
#include "platform/hid/hid_backend.h"
#include "platform/hid/report_descriptor.h"

namespace lw::hid {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kReadSliceMs = 50;  // how often a waiting read looks for cancel and close

// "/dev/hidraw3" -> "hidraw3"
std::string nodeName(const std::string& devnode) {
  const std::size_t slash = devnode.rfind('/');
  return slash == std::string::npos ? devnode : devnode.substr(slash + 1);
}

std::optional<DescriptorLengths> descriptorLengths(const std::string& node) {
  std::ifstream in("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
  if (!in) return std::nullopt;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return lengthsFromDescriptor(bytes);
}

uint32_t lastIoError() {
  const int e = errno;
  if (e == 0 || e == ENODEV || e == ESHUTDOWN) return err::kDeviceNotConnected;
  if (e == EPIPE) return err::kGenFailure;  // the device stalled the request
  return errorFromErrno(e);
}

// hidapi's calls that reach no open device (init, exit, enumerate, open)
// share one global error string, so they are serialised too.
std::mutex& hidapiGlobalMutex() {
  static std::mutex m;
  return m;
}

uint8_t clampLength(uint32_t n) { return static_cast<uint8_t>(std::min<uint32_t>(n, 255)); }

class UsbDevice final : public Device {
 public:
  UsbDevice(hid_device* device, const DescriptorLengths& d)
      : device_(device),
        lengths_{clampLength(d.feature), clampLength(d.input), clampLength(d.output)},
        numbered_(d.numberedReports) {}
  ~UsbDevice() override { hid_close(device_); }

  Lengths lengths() const override { return lengths_; }

  uint32_t setFeature(std::span<const uint8_t> report) override {
    if (closed_) return err::kInvalidHandle;
    std::lock_guard lock(ioMutex_);
    errno = 0;
    return hid_send_feature_report(device_, report.data(), report.size()) < 0 ? lastIoError() : 0;
  }

  uint32_t getFeature(std::span<uint8_t> report) override {
    if (closed_) return err::kInvalidHandle;
    // Exactly the report's length, report ID included: the kernel turns the
    // buffer size into GET_REPORT's wLength, and a device that answers its
    // whole report to a longer request must end with a zero-length packet,
    // which much adapter firmware never sends, so a longer request stalls.
    std::vector<uint8_t> buffer(report.size(), 0);
    buffer[0] = report[0];
    std::lock_guard lock(ioMutex_);
    errno = 0;
    const int n = hid_get_feature_report(device_, buffer.data(), buffer.size());
    if (n < 0) return lastIoError();
    if (static_cast<std::size_t>(n) != report.size()) return err::kInvalidData;  // a short answer
    std::copy(buffer.begin(), buffer.end(), report.begin());
    return 0;
  }

  uint32_t readInput(std::span<uint8_t> report, uint32_t timeoutMs) override {
    const uint64_t epoch = cancelEpoch_;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Without report IDs hidraw gives the data alone; the layer's reports
    // always start with the report-ID byte.
    const std::size_t skip = numbered_ ? 0 : 1;
    std::vector<uint8_t> buffer(report.size() + 1, 0);
    for (;;) {
      if (closed_ || cancelEpoch_ != epoch) return err::kOperationAborted;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return err::kWaitTimeout;
      std::unique_lock lock(ioMutex_);
      errno = 0;
      const int n = hid_read_timeout(device_, buffer.data() + skip, buffer.size() - skip,
                                     static_cast<int>(std::min<long long>(left, kReadSliceMs)));
      if (n < 0) return lastIoError();
      lock.unlock();
      if (n == 0) continue;
      if (closed_ || cancelEpoch_ != epoch) return err::kOperationAborted;
      const std::size_t got = static_cast<std::size_t>(n) + skip;
      // A report longer or shorter than the device declares is not an answer.
      if ((lengths_.input != 0 && got != lengths_.input) || got > report.size()) return err::kInvalidData;
      std::copy_n(buffer.begin(), got, report.begin());
      return 0;
    }
  }

  uint32_t writeOutput(std::span<const uint8_t> report) override {
    if (closed_) return err::kInvalidHandle;
    std::lock_guard lock(ioMutex_);
    errno = 0;
    return hid_write(device_, report.data(), report.size()) < 0 ? lastIoError() : 0;
  }

  void cancelIo() override { ++cancelEpoch_; }
  void close() override { closed_ = true; }

 private:
  hid_device* const device_;
  const Lengths lengths_;
  const bool numbered_;
  // Every hidapi call on a device records its outcome in the device's one
  // error string (freeing the one before), so calls from different threads,
  // a read included, must not overlap.
  std::mutex ioMutex_;
  std::atomic<uint64_t> cancelEpoch_{0};
  std::atomic<bool> closed_{false};
};

// Where a hidraw device is plugged in: the sysfs name of its USB device is
// the port path ("1-2.3"), which stays the same when the adapter is plugged
// into the same port again or comes back in another mode.
void addUsbPlace(udev_device* hidraw, DeviceInfo& info) {
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
  const char* port = usb ? udev_device_get_sysname(usb) : nullptr;
  const char* serial = usb ? udev_device_get_sysattr_value(usb, "serial") : nullptr;
  info.port = port ? port : "";
  info.serial = serial ? serial : "";
  info.place = info.port.empty() ? "usb:" + info.node : usbPlace(info.port);
}

// Ids, path and place of a hidraw device from udev; nothing for non-HID parents.
std::optional<DeviceInfo> infoOf(udev_device* hidraw) {
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
  const char* hidId = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
  const char* sysname = udev_device_get_sysname(hidraw);
  if (!hidId || !sysname) return std::nullopt;
  const auto ids = idsFromUdevHidId(hidId);
  if (!ids) return std::nullopt;
  DeviceInfo info;
  info.ids = *ids;
  info.interfacePath = makeInterfacePath(*ids, sysname);
  info.node = std::string("/dev/") + sysname;
  addUsbPlace(hidraw, info);
  return info;
}

// The place of a hidraw node ("/dev/hidraw3") now; ids and path stay empty.
DeviceInfo placeOfNode(udev* u, const std::string& node) {
  DeviceInfo info;
  info.node = node;
  info.place = "usb:" + node;
  if (udev_device* d = u ? udev_device_new_from_subsystem_sysname(u, "hidraw", nodeName(node).c_str()) : nullptr) {
    addUsbPlace(d, info);
    udev_device_unref(d);
  }
  return info;
}

// Which devices a choice lets through: a port, else a node, else any.
struct Filter {
  std::string port;
  std::string node;
  bool admits(const DeviceInfo& d) const {
    if (!port.empty()) return d.port == port;
    return node.empty() || d.node == node;
  }
};

// The order open() tries devices in: by port, then by node, numbers by value.
bool offeredBefore(const DeviceInfo& a, const DeviceInfo& b) {
  if (a.port != b.port) return placeLess(a.port, b.port);
  return placeLess(a.node, b.node);
}

class UsbBackend final : public Backend {
 public:
  UsbBackend(const std::string& port, const std::string& node) {
    std::lock_guard lock(hidapiGlobalMutex());
    hidOk_ = hid_init() == 0;
    udev_ = udev_new();
    filter_.port = port;
    filter_.node = node;
    // A node chosen is followed by its port: the adapter comes back under
    // another node after a firmware update.
    if (port.empty() && !node.empty()) filter_.port = placeOfNode(udev_, node).port;
  }
  ~UsbBackend() override {
    stopMonitor();
    std::lock_guard lock(hidapiGlobalMutex());
    if (udev_) udev_unref(udev_);
    if (hidOk_) hid_exit();
  }

  std::vector<DeviceInfo> enumerate() override {
    std::lock_guard lock(hidapiGlobalMutex());
    return enumerateLocked(0, 0);
  }

  std::shared_ptr<Device> open(DeviceIds ids, const OpenPreference& prefer, uint32_t& error) override {
    error = err::kFileNotFound;
    if (!hidOk_) return nullptr;
    std::lock_guard lock(hidapiGlobalMutex());
    std::vector<DeviceInfo> candidates = enumerateLocked(ids.vendorId, ids.productId);
    std::erase_if(candidates, [&](const DeviceInfo& d) { return !prefer.admits(d.place); });
    std::stable_partition(candidates.begin(), candidates.end(),
                          [&](const DeviceInfo& d) { return !prefer.place.empty() && d.place == prefer.place; });
    for (const DeviceInfo& candidate : candidates) {
      errno = 0;
      hid_device* device = hid_open_path(candidate.node.c_str());
      if (!device) {
        const uint32_t e = errno == EACCES || errno == EPERM ? err::kAccessDenied : lastIoError();
        if (error != err::kAccessDenied) error = e;
        continue;
      }
      // Without a readable descriptor the lengths stay 0 and the layer does
      // not check report lengths for this device.
      const DescriptorLengths lengths = descriptorLengths(nodeName(candidate.node)).value_or(DescriptorLengths{});
      auto opened = std::make_shared<UsbDevice>(device, lengths);
      opened->place = candidate.place;
      error = 0;
      return opened;
    }
    return nullptr;
  }

  bool startMonitor(ChangeSink sink) override {
    udev* u = udev_new();
    udev_monitor* monitor = u ? udev_monitor_new_from_netlink(u, "udev") : nullptr;
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
      if (monitor) udev_monitor_unref(monitor);
      if (u) udev_unref(u);
      return false;
    }
    auto known = std::make_shared<std::map<std::string, std::string>>(present(u, filter_));
    stop_ = std::make_shared<std::atomic<bool>>(false);
    thread_ = std::thread([u, monitor, known, filter = filter_, stop = stop_, sink = std::move(sink)] {
      run(u, monitor, *known, filter, *stop, sink);
      udev_monitor_unref(monitor);
      udev_unref(u);
    });
    return true;
  }

  void stopMonitor() override {
    if (stop_) *stop_ = true;
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) thread_.detach();
    else thread_.join();
  }

 private:
  // The devices on offer with the ids (0, 0: any), in the order they are offered.
  std::vector<DeviceInfo> enumerateLocked(uint16_t vendorId, uint16_t productId) {
    std::vector<DeviceInfo> out;
    if (!hidOk_) return out;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* d = list; d; d = d->next) {
      if (!d->path) continue;
      // A device with several top-level collections is listed once per
      // collection under the same node.
      if (std::any_of(out.begin(), out.end(), [&](const DeviceInfo& o) { return o.node == d->path; })) continue;
      DeviceInfo info = placeOfNode(udev_, d->path);
      info.ids = {d->vendor_id, d->product_id};
      info.interfacePath = makeInterfacePath(info.ids, nodeName(d->path));
      if (filter_.admits(info)) out.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    std::stable_sort(out.begin(), out.end(), offeredBefore);
    return out;
  }

  // Paths of the hidraw devices on offer now, by syspath, so that a removal
  // (whose parent may already be gone) can still be named.
  static std::map<std::string, std::string> present(udev* u, const Filter& filter) {
    std::map<std::string, std::string> known;
    udev_enumerate* e = udev_enumerate_new(u);
    if (!e) return known;
    udev_enumerate_add_match_subsystem(e, "hidraw");
    udev_enumerate_scan_devices(e);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e)) {
      const char* syspath = udev_list_entry_get_name(entry);
      if (udev_device* d = udev_device_new_from_syspath(u, syspath)) {
        if (auto info = infoOf(d); info && filter.admits(*info)) known[syspath] = info->interfacePath;
        udev_device_unref(d);
      }
    }
    udev_enumerate_unref(e);
    return known;
  }

  static void run(udev*, udev_monitor* monitor, std::map<std::string, std::string>& known, const Filter& filter,
                  const std::atomic<bool>& stop, const ChangeSink& sink) {
    pollfd fd{udev_monitor_get_fd(monitor), POLLIN, 0};
    while (!stop) {
      if (::poll(&fd, 1, 100) <= 0) continue;
      udev_device* d = udev_monitor_receive_device(monitor);
      if (!d) continue;
      const std::string action = udev_device_get_action(d) ? udev_device_get_action(d) : "";
      const std::string syspath = udev_device_get_syspath(d) ? udev_device_get_syspath(d) : "";
      if (action == "add") {
        if (auto info = infoOf(d); info && filter.admits(*info)) {
          known[syspath] = info->interfacePath;
          sink(true, info->interfacePath);
        }
      } else if (action == "remove") {
        auto it = known.find(syspath);
        if (it != known.end()) {
          const std::string path = it->second;
          known.erase(it);
          sink(false, path);
        }
      }
      udev_device_unref(d);
    }
  }

  bool hidOk_ = false;
  udev* udev_ = nullptr;
  Filter filter_;
  std::thread thread_;
  std::shared_ptr<std::atomic<bool>> stop_;
};

}  // namespace

std::unique_ptr<Backend> makeUsbBackend(const std::string& port, const std::string& node) {
  return std::make_unique<UsbBackend>(port, node);
}

}  // namespace lw::hid
