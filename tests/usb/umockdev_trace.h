#pragma once
// The two trace formats umockdev-record writes for a device node, so that a
// recording of a real adapter can be read and the harness can write the same:
//  - ioctl records ("--ioctl"): "@DEV /dev/hidraw3", then one line per
//    distinct ioctl that succeeded, "NAME RESULT HEXDATA", where the name of
//    a variable-length request carries "(0)", as "HIDIOCSFEATURE(0) 129 005A04...";
//  - scripts ("--script"): "d 0 /dev/hidraw3", then "r MS DATA" for reads and
//    "w MS DATA" for writes, bytes below 32 written as '^' + (byte + 64), '^'
//    as "^`" (see /usr/share/doc/umockdev/script-format.txt).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lw::usbtest {

struct IoctlRecord {
  std::string name;  // "HIDIOCGFEATURE(0)"
  long result = 0;
  std::vector<uint8_t> data;
  bool operator==(const IoctlRecord&) const = default;
};

struct ScriptRecord {
  char op = 'r';  // 'r' read, 'w' write
  unsigned long ms = 0;
  std::vector<uint8_t> data;
};

struct NodeTrace {
  std::string device;  // "/dev/hidraw3"
  std::vector<IoctlRecord> ioctls;
  std::vector<ScriptRecord> script;
};

// The record name of a hidraw request; empty for a request umockdev does not record.
std::string hidrawIoctlName(unsigned long request);

std::string formatIoctlTrace(const std::string& device, const std::vector<IoctlRecord>& ioctls);
std::string formatScript(const std::string& device, const std::vector<ScriptRecord>& script);

// Nothing, with the line in problem, when a line is not in the format.
std::optional<NodeTrace> parseIoctlTrace(const std::string& text, std::string& problem);
std::optional<NodeTrace> parseScript(const std::string& text, std::string& problem);

}  // namespace lw::usbtest
