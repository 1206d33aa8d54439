#pragma once
// The HID platform layer: a shared library used by both the program and the
// Link library, so that a device opened by one can be used by the other
// through its 32-bit handle. Two backends: real USB (hidapi over hidraw,
// libudev for arrival and removal) and the adapter emulator. The backend and
// the adapters it offers are chosen by LOOMWRITE_ADAPTER or by
// lw_hid_select_backend: "usb" or unset (every USB adapter), "usb:PORT" or
// "usb:/dev/hidrawN" (that one only), "emulator:DIR[,DIR...]" (emulated
// adapters with their state in those directories); see adapter_choice.h.
//
// Results are the program's error numbers (core/codes.h): 0 success,
// 2 no such device (open), 6 handle not open (never opened, or closed),
// 13 the device sent a report of the wrong length, 31 the device refused
// (stalled) the report, 87 a bad argument or a report whose length is not
// the device's report length, 258 time-out, 995 cancelled or closed while
// waiting, 1167 the device left the bus. Handles are not reused while the
// process runs, so a stale handle gives 6 rather than reaching another
// device. Every open handle receives its own copy of each input report.
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define LW_HID_API __attribute__((visibility("default")))
#else
#define LW_HID_API
#endif

typedef uint32_t lw_hid_handle;  // 0 = no device

// Selects the backend and the adapters it offers (the forms above); NULL
// re-reads the environment. Returns 0 on success; a text of none of the
// forms returns 87 and keeps the current choice. Closes every open handle.
LW_HID_API uint32_t lw_hid_select_backend(const char* spec);

typedef struct lw_hid_device_info {
  uint16_t vendor_id;
  uint16_t product_id;
  char interface_path[256];  // as in notifications: "\\?\HID#Vid_0e6a&Pid_0325#..."
} lw_hid_device_info;

// Fills up to max entries; returns how many devices there are.
LW_HID_API int lw_hid_enumerate(lw_hid_device_info* out, int max);

// A device on offer and where it is.
typedef struct lw_hid_place_info {
  uint16_t vendor_id;
  uint16_t product_id;
  char interface_path[256];
  char place[1024];  // the choice naming only this device: "usb:1-2.3", "emulator:/path"
  char port[64];     // USB port path ("1-2.3"); empty for an emulated adapter
  char node[64];     // "/dev/hidraw3"; empty for an emulated adapter
  char serial[128];  // USB serial number string, UTF-8; empty when none
} lw_hid_place_info;

// As lw_hid_enumerate, with places, in the order lw_hid_open tries them:
// USB devices by port path and then node, numbers by value; emulated
// adapters in the order their directories were named.
LW_HID_API int lw_hid_enumerate_places(lw_hid_place_info* out, int max);

// The place of the device the last successful lw_hid_open opened (it need
// not be open any more), as a NUL-terminated text cut to size; "" when none
// has been opened since the backend was selected. Returns its full length.
LW_HID_API size_t lw_hid_last_place(char* out, size_t size);

// Opens the first device with the ids; while the device opened last is on
// offer with the ids (it may have come back in another mode), that one.
// 0 and *error set on failure.
LW_HID_API lw_hid_handle lw_hid_open(uint16_t vendor_id, uint16_t product_id, uint32_t* error);
LW_HID_API void lw_hid_close(lw_hid_handle h);

// on: from now on lw_hid_open finds only a device at the place of the one
// opened last, such as an adapter that restarts in another mode and is away
// for a while, so that another adapter is never taken for it. 0: as before.
LW_HID_API void lw_hid_follow_last(int on);

// Report lengths, each counting the report-ID byte.
LW_HID_API uint32_t lw_hid_report_lengths(lw_hid_handle h, uint8_t* feature, uint8_t* input, uint8_t* output);

LW_HID_API uint32_t lw_hid_set_feature(lw_hid_handle h, const uint8_t* report, size_t length);
LW_HID_API uint32_t lw_hid_get_feature(lw_hid_handle h, uint8_t* report, size_t length);
// Reads one input report (report-ID byte first) within timeout_ms.
LW_HID_API uint32_t lw_hid_read_input(lw_hid_handle h, uint8_t* report, size_t length, uint32_t timeout_ms);
// Makes a pending lw_hid_read_input on the handle return 995 at once.
LW_HID_API void lw_hid_cancel_io(lw_hid_handle h);
LW_HID_API uint32_t lw_hid_write_output(lw_hid_handle h, const uint8_t* report, size_t length);

// Device arrival (arrived = 1) and removal (0), with the device-interface
// path. Callbacks come on a background thread.
typedef void (*lw_hid_change_callback)(void* context, int arrived, const char* interface_path);
// Returns a watch id > 0, or 0 when notifications are not available.
LW_HID_API int lw_hid_watch(lw_hid_change_callback callback, void* context);
LW_HID_API void lw_hid_unwatch(int watch_id);

#ifdef __cplusplus
}
#endif
