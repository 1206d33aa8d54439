// hidapi and libudev, loaded the first time the USB backend calls them
// rather than when the HID layer is: a run that never looks at the USB bus
// (loading a file, the emulated adapter) does not pay for mapping them.
// Each function the backend uses is defined here under its own name and
// forwards to the library's; when a library cannot be loaded the calls
// answer as the libraries do when they fail (no device, an error result),
// and the reason is said once on standard error.
#include <dlfcn.h>
#include <hidapi/hidapi.h>
#include <libudev.h>

#include <cstdio>

namespace {

enum class Library { kHidapi, kUdev };

void* handleOf(Library library) {
  static void* const hidapi = ::dlopen("libhidapi-hidraw.so.0", RTLD_NOW | RTLD_LOCAL);
  static void* const udev = ::dlopen("libudev.so.1", RTLD_NOW | RTLD_LOCAL);
  static const bool reported = [] {
    if (!hidapi || !udev) {
      const char* why = ::dlerror();
      std::fprintf(stderr, "HID layer: the USB libraries cannot be loaded (%s); no USB adapter can be used\n",
                   why ? why : "unknown reason");
    }
    return true;
  }();
  (void)reported;
  return library == Library::kHidapi ? hidapi : udev;
}

void* symbolOf(Library library, const char* name) {
  void* handle = handleOf(library);
  return handle ? ::dlsym(handle, name) : nullptr;
}

}  // namespace

// The library's function of the same name, or `failed` without it.
#define LW_FORWARD(library, result, name, params, args, failed)                            \
  result name params {                                                                      \
    static const auto real = reinterpret_cast<decltype(&name)>(symbolOf(library, #name)); \
    return real ? real args : failed;                                                       \
  }

LW_FORWARD(Library::kHidapi, int, hid_init, (), (), -1)
LW_FORWARD(Library::kHidapi, int, hid_exit, (), (), -1)
LW_FORWARD(Library::kHidapi, hid_device_info*, hid_enumerate, (unsigned short v, unsigned short p), (v, p), nullptr)
LW_FORWARD(Library::kHidapi, void, hid_free_enumeration, (hid_device_info * d), (d), void())
LW_FORWARD(Library::kHidapi, hid_device*, hid_open_path, (const char* path), (path), nullptr)
LW_FORWARD(Library::kHidapi, void, hid_close, (hid_device * d), (d), void())
LW_FORWARD(Library::kHidapi, int, hid_write, (hid_device * d, const unsigned char* b, size_t n), (d, b, n), -1)
LW_FORWARD(Library::kHidapi, int, hid_read_timeout, (hid_device * d, unsigned char* b, size_t n, int ms), (d, b, n, ms),
           -1)
LW_FORWARD(Library::kHidapi, int, hid_send_feature_report, (hid_device * d, const unsigned char* b, size_t n),
           (d, b, n), -1)
LW_FORWARD(Library::kHidapi, int, hid_get_feature_report, (hid_device * d, unsigned char* b, size_t n), (d, b, n), -1)

LW_FORWARD(Library::kUdev, udev*, udev_new, (), (), nullptr)
LW_FORWARD(Library::kUdev, udev*, udev_unref, (udev * u), (u), nullptr)
LW_FORWARD(Library::kUdev, udev_list_entry*, udev_list_entry_get_next, (udev_list_entry * e), (e), nullptr)
LW_FORWARD(Library::kUdev, const char*, udev_list_entry_get_name, (udev_list_entry * e), (e), nullptr)
LW_FORWARD(Library::kUdev, udev_device*, udev_device_unref, (udev_device * d), (d), nullptr)
LW_FORWARD(Library::kUdev, udev_device*, udev_device_new_from_syspath, (udev * u, const char* p), (u, p), nullptr)
LW_FORWARD(Library::kUdev, udev_device*, udev_device_new_from_subsystem_sysname,
           (udev * u, const char* subsystem, const char* name), (u, subsystem, name), nullptr)
LW_FORWARD(Library::kUdev, udev_device*, udev_device_get_parent_with_subsystem_devtype,
           (udev_device * d, const char* subsystem, const char* devtype), (d, subsystem, devtype), nullptr)
LW_FORWARD(Library::kUdev, const char*, udev_device_get_syspath, (udev_device * d), (d), nullptr)
LW_FORWARD(Library::kUdev, const char*, udev_device_get_sysname, (udev_device * d), (d), nullptr)
LW_FORWARD(Library::kUdev, const char*, udev_device_get_property_value, (udev_device * d, const char* k), (d, k), nullptr)
LW_FORWARD(Library::kUdev, const char*, udev_device_get_action, (udev_device * d), (d), nullptr)
LW_FORWARD(Library::kUdev, const char*, udev_device_get_sysattr_value, (udev_device * d, const char* a), (d, a), nullptr)
LW_FORWARD(Library::kUdev, udev_monitor*, udev_monitor_unref, (udev_monitor * m), (m), nullptr)
LW_FORWARD(Library::kUdev, udev_monitor*, udev_monitor_new_from_netlink, (udev * u, const char* n), (u, n), nullptr)
LW_FORWARD(Library::kUdev, int, udev_monitor_enable_receiving, (udev_monitor * m), (m), -1)
LW_FORWARD(Library::kUdev, int, udev_monitor_get_fd, (udev_monitor * m), (m), -1)
LW_FORWARD(Library::kUdev, udev_device*, udev_monitor_receive_device, (udev_monitor * m), (m), nullptr)
LW_FORWARD(Library::kUdev, int, udev_monitor_filter_add_match_subsystem_devtype,
           (udev_monitor * m, const char* subsystem, const char* devtype), (m, subsystem, devtype), -1)
LW_FORWARD(Library::kUdev, udev_enumerate*, udev_enumerate_unref, (udev_enumerate * e), (e), nullptr)
LW_FORWARD(Library::kUdev, udev_enumerate*, udev_enumerate_new, (udev * u), (u), nullptr)
LW_FORWARD(Library::kUdev, int, udev_enumerate_add_match_subsystem, (udev_enumerate * e, const char* s), (e, s), -1)
LW_FORWARD(Library::kUdev, int, udev_enumerate_scan_devices, (udev_enumerate * e), (e), -1)
LW_FORWARD(Library::kUdev, udev_list_entry*, udev_enumerate_get_list_entry, (udev_enumerate * e), (e), nullptr)
