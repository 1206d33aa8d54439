#pragma once
// What the production log is asked: which rows (a filter), and how they are
// counted (passed, failed and yield per station, part, image, adapter or day).
#include <cstdint>
#include <optional>
#include <string>

namespace lw {

struct RecordFilter {
  std::optional<uint64_t> serial;           // the serial number's value
  std::optional<std::string> serialString;  // exactly
  std::string imageSha256;  // lower-case hexadecimal digits the image's SHA-256 starts with; empty: any
  std::string since;        // UTC time text; rows at or after it; empty: all
  std::string command;      // empty: every command
};

// kAll counts every row in one group.
enum class SummaryKey { kAll, kStation, kPart, kImage, kAdapter, kDay };

struct SummaryGroup {
  std::string key;
  uint64_t passed = 0;
  uint64_t failed = 0;
  bool operator==(const SummaryGroup&) const = default;
};

// A serial number handed out from a pool, and what became of it: "used"
// once its board passed, "spoiled" from the moment it was handed out until
// then (a board that failed, or a run that never got to log its board).
struct SerialEntry {
  std::string pool;
  uint64_t number = 0;
  std::string state;
  std::string rowId;  // the row of the board it was handed out for
  std::string station;
  std::string adapter;
  std::string time;   // when it was handed out
  bool operator==(const SerialEntry&) const = default;
};

}  // namespace lw
