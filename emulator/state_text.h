#pragma once
// adapter.ini and target.ini: reading and writing the emulated adapter's
// settings and the target's description.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/target_mcu.h"
#include "tether/firmware/firmware_image.h"

namespace lw::emu {

enum class Mode : uint8_t { kNormal, kNeedsUpdate, kFirmwareUpdate };

std::string_view modeName(Mode mode);

struct AdapterSettings {
  bool connected = true;                 // plugged in
  Mode mode = Mode::kNormal;
  uint16_t needsUpdatePid = 0x0FFF;      // product id shown in needs-update mode
  fwimage::Version firmware;             // the version the adapter runs
  bool storage = true;                   // can hold an off-line job
  bool realisticTiming = false;          // transfers take as long as on full-speed USB
  uint32_t reenumerateMs = 500;          // time between leaving the bus and coming back
  std::string serial;                    // USB serial number string; empty: none

  bool operator==(const AdapterSettings&) const = default;
};

// Keys the text leaves out keep the values already in settings; problems
// name bad lines.
void parseAdapterSettings(std::string_view text, AdapterSettings& settings, std::vector<std::string>& problems);
std::string formatAdapterSettings(const AdapterSettings& settings);

// Reads present, part_index, millivolts, protected and flash_size into target.
void parseTargetSettings(std::string_view text, TargetMcu& target, std::vector<std::string>& problems);
std::string formatTargetSettings(const TargetMcu& target);

}  // namespace lw::emu
