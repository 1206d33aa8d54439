#pragma once
// The adapters on offer, as the HID layer lists them for the chosen
// --adapter (or LOOMWRITE_ADAPTER): place, mode and, for an adapter in
// normal mode, what it says about itself.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/abi/link_abi.h"

namespace lw {
struct LinkApi;
}

namespace lw::cli {

struct AdapterEntry {
  std::string place;   // what --adapter takes to choose only this one
  std::string port;    // USB port path; empty for an emulated adapter
  std::string node;    // hidraw node; empty for an emulated adapter
  std::string serial;  // USB serial number string; empty: none
  uint16_t productId = 0;
  std::optional<AdapterIdentity> identity;  // normal mode, when it answered
  int identifyError = 0;                    // why it did not, else 0
};

// Every adapter of the adapter vendor on offer now, in the order a run
// that is not told which one takes them.
std::vector<AdapterEntry> listAdapters();

// "normal", "needs firmware" or "firmware update".
std::string adapterModeName(uint16_t productId);

// Asks every normal-mode entry who it is, each chosen alone in turn; the
// choice in force before (the environment's, or the --adapter text) is selected again
// afterwards. choice: the --adapter text, empty for the environment's.
void identifyAdapters(const LinkApi& link, std::vector<AdapterEntry>& adapters, const std::string& choice);

// "1.5", "2.1A": major.minor in hexadecimal, as the firmware files write it.
std::string firmwareVersionText(const AdapterIdentity& identity);

// Turns a --adapters item into a place: "1-2.3" -> "usb:1-2.3",
// "/dev/hidraw3" -> "usb:/dev/hidraw3"; places stay as they are.
std::string placeOfItem(const std::string& item);

}  // namespace lw::cli
