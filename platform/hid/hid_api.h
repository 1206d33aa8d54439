#pragma once
// The HID platform layer: a shared library used by both the program and the
// Link library, so that a device opened by one can be used by the other
// through its 32-bit handle. Two backends: real USB (hidapi over hidraw,
// libudev for arrival and removal) and the adapter emulator. The backend is
// chosen by LOOMWRITE_ADAPTER ("usb" or unset: real; "emulator:DIR": the
// emulator with its state in DIR) or by lw_hid_select_backend.
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

// Selects the backend ("usb" or "emulator:DIR"); NULL re-reads the
// environment. Returns 0 on success. Closes every open handle.
LW_HID_API uint32_t lw_hid_select_backend(const char* spec);

typedef struct lw_hid_device_info {
  uint16_t vendor_id;
  uint16_t product_id;
  char interface_path[256];  // as in notifications: "\\?\HID#Vid_0e6a&Pid_0325#..."
} lw_hid_device_info;

// Fills up to max entries; returns how many devices there are.
LW_HID_API int lw_hid_enumerate(lw_hid_device_info* out, int max);

// Opens the first device with the ids; 0 and *error set on failure.
LW_HID_API lw_hid_handle lw_hid_open(uint16_t vendor_id, uint16_t product_id, uint32_t* error);
LW_HID_API void lw_hid_close(lw_hid_handle h);

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
