#include "tests/usb/umockdev_trace.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <sstream>

#include "core/text.h"

namespace lw::usbtest {
namespace {

std::string hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (uint8_t b : bytes) out += format("%02X", b);
  return out;
}

std::optional<std::vector<uint8_t>> unhex(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const std::string pair = text.substr(i, 2);
    if (pair.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
  }
  return bytes;
}

std::string escape(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (uint8_t b : bytes) {
    if (b < 32) out += {'^', static_cast<char>(b + 64)};
    else if (b == '^') out += "^`";
    else out += static_cast<char>(b);
  }
  return out;
}

std::optional<std::vector<uint8_t>> unescape(const std::string& text) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '^') {
      bytes.push_back(static_cast<uint8_t>(text[i]));
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    bytes.push_back(text[i] == '`' ? uint8_t{'^'} : static_cast<uint8_t>(text[i] - 64));
  }
  return bytes;
}

// "@DEV /dev/hidraw3" or "d 0 /dev/hidraw3": the device the trace belongs to.
bool deviceLine(const std::string& line, const std::string& prefix, std::string& device) {
  if (line.rfind(prefix, 0) != 0) return false;
  device = line.substr(prefix.size());
  return true;
}

}  // namespace

std::string hidrawIoctlName(unsigned long request) {
  switch (request) {
    case HIDIOCGRDESCSIZE: return "HIDIOCGRDESCSIZE";
    case HIDIOCGRDESC: return "HIDIOCGRDESC";
    case HIDIOCGRAWINFO: return "HIDIOCGRAWINFO";
    default: break;
  }
  if (_IOC_TYPE(request) != 'H') return "";
  switch (_IOC_NR(request)) {
    case _IOC_NR(HIDIOCGRAWNAME(0)): return "HIDIOCGRAWNAME(0)";
    case _IOC_NR(HIDIOCGRAWPHYS(0)): return "HIDIOCGRAWPHYS(0)";
    case _IOC_NR(HIDIOCSFEATURE(0)): return "HIDIOCSFEATURE(0)";
    case _IOC_NR(HIDIOCGFEATURE(0)): return "HIDIOCGFEATURE(0)";
    case _IOC_NR(HIDIOCGRAWUNIQ(0)): return "HIDIOCGRAWUNIQ(0)";
    default: return "";
  }
}

std::string formatIoctlTrace(const std::string& device, const std::vector<IoctlRecord>& ioctls) {
  std::string out = "@DEV " + device + "\n";
  for (const IoctlRecord& r : ioctls) out += r.name + " " + std::to_string(r.result) + " " + hex(r.data) + "\n";
  return out;
}

std::string formatScript(const std::string& device, const std::vector<ScriptRecord>& script) {
  std::string out = "d 0 " + device + "\n";
  for (const ScriptRecord& r : script) out += format("%c %lu ", r.op, r.ms) + escape(r.data) + "\n";
  return out;
}

std::optional<NodeTrace> parseIoctlTrace(const std::string& text, std::string& problem) {
  NodeTrace trace;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || deviceLine(line, "@DEV ", trace.device)) continue;
    std::istringstream fields(line);
    IoctlRecord r;
    std::string data;
    fields >> r.name >> r.result >> data;
    const auto bytes = unhex(data);
    if (!fields || !bytes) {
      problem = line;
      return std::nullopt;
    }
    r.data = *bytes;
    trace.ioctls.push_back(std::move(r));
  }
  return trace;
}

std::optional<NodeTrace> parseScript(const std::string& text, std::string& problem) {
  NodeTrace trace;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || deviceLine(line, "d 0 ", trace.device)) continue;
    if (line[0] == 'f' || line[0] == 'Q') continue;  // fuzz factor, stop mark: no data
    const std::size_t space = line.find(' ', 2);
    const std::string ms = space == std::string::npos ? "" : line.substr(2, space - 2);
    std::optional<std::vector<uint8_t>> bytes;
    if ((line[0] == 'r' || line[0] == 'w') && line[1] == ' ' && !ms.empty() &&
        ms.find_first_not_of("0123456789") == std::string::npos)
      bytes = unescape(line.substr(space + 1));
    if (!bytes) {
      problem = line;
      return std::nullopt;
    }
    trace.script.push_back({line[0], std::stoul(ms), *bytes});
  }
  return trace;
}

}  // namespace lw::usbtest
