#include "emulator/state_text.h"

#include "core/text.h"
#include "emulator/ini_text.h"

namespace lw::emu {
namespace {

const char* yesNo(bool b) { return b ? "yes" : "no"; }

// "1.5" or "2.1A": two hexadecimal numbers, as the program's title shows them.
bool parseVersion(std::string_view text, fwimage::Version& out) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return false;
  const auto major = parseUnsigned("0x" + std::string(text.substr(0, dot)));
  const auto minor = parseUnsigned("0x" + std::string(text.substr(dot + 1)));
  if (!major || !minor || *major > 0xFF || *minor > 0xFF) return false;
  out = {static_cast<uint8_t>(*major), static_cast<uint8_t>(*minor)};
  return true;
}

template <typename Apply>
void forEach(const IniText& ini, const char* fileName, std::vector<std::string>& problems, Apply apply) {
  for (const IniEntry& e : ini.entries()) {
    const char* expected = apply(e);
    if (expected == nullptr) continue;
    if (*expected == '\0')
      problems.push_back(format("%s:%d: unknown key \"%s\"", fileName, e.line, e.key.c_str()));
    else
      problems.push_back(format("%s:%d: %s: expected %s, found \"%s\"", fileName, e.line, e.key.c_str(), expected,
                                e.value.c_str()));
  }
}

}  // namespace

std::string_view modeName(Mode mode) {
  switch (mode) {
    case Mode::kNormal: return "normal";
    case Mode::kNeedsUpdate: return "needs-update";
    case Mode::kFirmwareUpdate: return "firmware-update";
  }
  return "normal";
}

void parseAdapterSettings(std::string_view text, AdapterSettings& s, std::vector<std::string>& problems) {
  const IniText ini = IniText::parse(text, "adapter.ini", problems);
  forEach(ini, "adapter.ini", problems, [&](const IniEntry& e) -> const char* {
    if (e.key == "connected") {
      if (auto v = parseBool(e.value)) s.connected = *v;
      else return "yes or no";
    } else if (e.key == "mode") {
      const std::string m = toLowerAscii(e.value);
      if (m == "normal") s.mode = Mode::kNormal;
      else if (m == "needs-update") s.mode = Mode::kNeedsUpdate;
      else if (m == "firmware-update") s.mode = Mode::kFirmwareUpdate;
      else return "normal, needs-update or firmware-update";
    } else if (e.key == "needs_update_pid") {
      auto v = parseUnsigned(e.value);
      if (!v || (*v != 0x0331 && *v != 0x0FFF)) return "0x0331 or 0x0FFF";
      s.needsUpdatePid = static_cast<uint16_t>(*v);
    } else if (e.key == "firmware_version") {
      if (!parseVersion(e.value, s.firmware)) return "major.minor in hexadecimal, such as 1.5";
    } else if (e.key == "storage") {
      if (auto v = parseBool(e.value)) s.storage = *v;
      else return "yes or no";
    } else if (e.key == "timing") {
      const std::string t = toLowerAscii(e.value);
      if (t == "off") s.realisticTiming = false;
      else if (t == "full-speed") s.realisticTiming = true;
      else return "off or full-speed";
    } else if (e.key == "reenumerate_ms") {
      auto v = parseUnsigned(e.value);
      if (!v || *v > 60000) return "milliseconds up to 60000";
      s.reenumerateMs = *v;
    } else if (e.key == "serial") {
      // As a USB string descriptor holds it: printable, at most 126
      // characters; '#' and ';' would read back as a comment.
      if (e.value.size() > 126) return "at most 126 characters";
      for (const char c : e.value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '#' || c == ';')
          return "printable characters other than # and ;";
      s.serial = e.value;
    } else {
      return "";
    }
    return nullptr;
  });
}

std::string formatAdapterSettings(const AdapterSettings& s) {
  return format(
      "# The emulated adapter. Edit while no program has it open, or to plug it\n"
      "# in and out while one watches (connected = no / yes).\n"
      "connected = %s\n"
      "# normal (product id 0x0325), needs-update (needs_update_pid) or\n"
      "# firmware-update (0x030B)\n"
      "mode = %s\n"
      "needs_update_pid = 0x%04X\n"
      "# The firmware the adapter runs, major.minor in hexadecimal.\n"
      "firmware_version = %X.%X\n"
      "# Whether the adapter can hold an off-line job.\n"
      "storage = %s\n"
      "# off, or full-speed: transfers take as long as on a full-speed USB bus.\n"
      "timing = %s\n"
      "# Time between leaving the bus and coming back in another mode.\n"
      "reenumerate_ms = %u\n"
      "# The USB serial number string; empty: the adapter has none.\n"
      "serial = %s\n",
      yesNo(s.connected), std::string(modeName(s.mode)).c_str(), s.needsUpdatePid, s.firmware.major,
      s.firmware.minor, yesNo(s.storage), s.realisticTiming ? "full-speed" : "off", s.reenumerateMs,
      s.serial.c_str());
}

void parseTargetSettings(std::string_view text, TargetMcu& t, std::vector<std::string>& problems) {
  const IniText ini = IniText::parse(text, "target.ini", problems);
  t.flashSizeOverride.reset();
  forEach(ini, "target.ini", problems, [&](const IniEntry& e) -> const char* {
    if (e.key == "present") {
      if (auto v = parseBool(e.value)) t.present = *v;
      else return "yes or no";
    } else if (e.key == "part_index") {
      auto v = parseUnsigned(e.value);
      if (!v || *v > 4094) return "a Part index up to 4094";
      t.partIndex = static_cast<uint16_t>(*v);
    } else if (e.key == "millivolts") {
      auto v = parseUnsigned(e.value);
      if (!v || *v > 0xFFFF) return "millivolts up to 65535";
      t.millivolts = static_cast<uint16_t>(*v);
    } else if (e.key == "protected") {
      if (auto v = parseBool(e.value)) t.readProtected = *v;
      else return "yes or no";
    } else if (e.key == "flash_size") {
      auto v = parseUnsigned(e.value);
      if (!v || *v == 0 || *v > 0x100000) return "a size from 1 to 0x100000";
      t.flashSizeOverride = *v;
    } else {
      return "";
    }
    return nullptr;
  });
}

std::string formatTargetSettings(const TargetMcu& t) {
  std::string text = format(
      "# The emulated target MCU. Its flash is target-flash.bin, its option\n"
      "# bytes target-options.txt.\n"
      "present = %s\n"
      "# Part index of the program's part database; the flash size follows it.\n"
      "part_index = %u\n"
      "# Supply voltage the adapter measures.\n"
      "millivolts = %u\n"
      "# Read protection; a mass erase clears it.\n"
      "protected = %s\n",
      yesNo(t.present), t.partIndex, t.millivolts, yesNo(t.readProtected));
  if (t.flashSizeOverride)
    text += format("flash_size = 0x%X\n", *t.flashSizeOverride);
  else
    text += "# flash_size = 0x10000   (instead of the part's own size)\n";
  return text;
}

}  // namespace lw::emu
