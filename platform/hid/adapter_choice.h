#pragma once
// Which adapters the HID layer offers, as LOOMWRITE_ADAPTER or --adapter
// name them:
//   usb                  every USB adapter
//   usb:1-2.3            only the adapter plugged into that USB port
//   usb:/dev/hidraw3     only that hidraw node's adapter; it is followed by
//                        its port from then on, so it is still found after
//                        it comes back in another mode under another node
//   emulator:DIR         the emulated adapter whose state is in DIR
//   emulator:D1,D2,...   several emulated adapters, in that order
// Letter case of "usb" and "emulator" does not matter; an empty text is usb.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw::hid {

struct AdapterChoice {
  enum class Bus { kUsb, kEmulator };
  Bus bus = Bus::kUsb;
  std::string usbPort;                    // "1-2.3"; empty: any port
  std::string usbNode;                    // "/dev/hidraw3"; empty: any node
  std::vector<std::string> emulatorDirs;  // absolute, normalised
};

// Nothing, with the reason in error, for a text of none of the forms above.
std::optional<AdapterChoice> parseAdapterChoice(std::string_view spec, std::string& error);

// "1-2", "1-2.3", "3-1.4.2": a bus number, a dash, port numbers joined by dots.
bool isUsbPortPath(std::string_view text);

// "/dev/hidraw0" ... "/dev/hidraw255".
bool isHidrawNode(std::string_view text);

// Orders places so that numbers compare by value: 1-2 < 1-10 < 2-1.
bool placeLess(std::string_view a, std::string_view b);

// The text that chooses exactly this one adapter.
inline std::string usbPlace(std::string_view port) { return "usb:" + std::string(port); }
inline std::string emulatorPlace(std::string_view dir) { return "emulator:" + std::string(dir); }

}  // namespace lw::hid
