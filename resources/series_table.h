#pragma once
// The Series table: the MCU series the program knows, of which the listed
// ones are offered in the series box.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lw {

struct SeriesRow {
  int32_t listed;        // 1 = offered
  int32_t seriesNumber;  // named by descriptors in key 21
  int32_t familyNumber;  // carried, never read
  const char* name;
};

// All rows in table order (the end row is not included).
std::span<const SeriesRow> seriesTable();

struct SeriesEntry {
  std::string name;
  uint32_t seriesNumber;
};

// The listed rows, in table order.
std::vector<SeriesEntry> seriesEntries();

}  // namespace lw
