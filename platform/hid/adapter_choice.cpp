#include "platform/hid/adapter_choice.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "core/text.h"

namespace lw::hid {
namespace {

constexpr std::string_view kUsb = "usb";
constexpr std::string_view kUsbPrefix = "usb:";
constexpr std::string_view kEmulatorPrefix = "emulator:";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits only, at least one, at most three (USB numbers stay below 256).
bool isNumber(std::string_view s) {
  if (s.empty() || s.size() > 3) return false;
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

}  // namespace

bool isUsbPortPath(std::string_view text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos || !isNumber(text.substr(0, dash))) return false;
  const auto ports = split(text.substr(dash + 1), '.');
  if (ports.size() > 7) return false;  // USB allows at most 7 tiers
  for (std::string_view p : ports)
    if (!isNumber(p)) return false;
  return true;
}

bool isHidrawNode(std::string_view text) {
  constexpr std::string_view kNode = "/dev/hidraw";
  return text.starts_with(kNode) && isNumber(text.substr(kNode.size()));
}

bool placeLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && isDigit(a[ei])) ++ei;
      while (ej < b.size() && isDigit(b[ej])) ++ej;
      const unsigned long x = std::strtoul(std::string(a.substr(i, ei - i)).c_str(), nullptr, 10);
      const unsigned long y = std::strtoul(std::string(b.substr(j, ej - j)).c_str(), nullptr, 10);
      if (x != y) return x < y;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

std::optional<AdapterChoice> parseAdapterChoice(std::string_view spec, std::string& error) {
  AdapterChoice choice;
  if (spec.empty() || equalsIgnoreCase(spec, kUsb)) return choice;
  if (startsWithIgnoreCase(spec, kUsbPrefix)) {
    const std::string_view where = spec.substr(kUsbPrefix.size());
    if (isHidrawNode(where)) {
      choice.usbNode = std::string(where);
      return choice;
    }
    if (isUsbPortPath(where)) {
      choice.usbPort = std::string(where);
      return choice;
    }
    error = "\"" + std::string(where) + "\" is neither a USB port path (such as 1-2.3) nor a hidraw node (/dev/hidrawN)";
    return std::nullopt;
  }
  if (startsWithIgnoreCase(spec, kEmulatorPrefix)) {
    choice.bus = AdapterChoice::Bus::kEmulator;
    for (std::string_view dir : split(spec.substr(kEmulatorPrefix.size()), ',')) {
      std::error_code ec;
      const auto absolute = dir.empty() ? std::filesystem::path() : std::filesystem::absolute(dir, ec);
      if (dir.empty() || ec) {
        error = "emulator: needs a state directory for every adapter (DIR or DIR1,DIR2,...)";
        return std::nullopt;
      }
      std::string normal = absolute.lexically_normal().string();
      if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
      for (const std::string& known : choice.emulatorDirs)
        if (known == normal) {
          error = "the emulated adapter " + normal + " is named twice";
          return std::nullopt;
        }
      choice.emulatorDirs.push_back(normal);
    }
    return choice;
  }
  error = "use \"usb\", \"usb:PORT\", \"usb:/dev/hidrawN\" or \"emulator:DIR[,DIR...]\"";
  return std::nullopt;
}

}  // namespace lw::hid
