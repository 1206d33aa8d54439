#pragma once
// The questions the production log answers, as plain functions over rows:
// what a filter keeps, the key a row is counted under, the counts. The file
// stores answer with these; the databases answer in SQL alike.
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/production_query.h"
#include "core/production_record.h"

namespace lw {

// A serial number's value from its hexadecimal digits (an optional 0x, at
// most 16 digits); nothing for anything else, the empty text included.
std::optional<uint64_t> serialValue(std::string_view hex);

// What --since takes: a day (2026-12-07, from its start, UTC), a UTC time
// (2026-12-07T15:04:05Z) or "today" (UTC); the time text rows are compared
// with, or nothing.
std::optional<std::string> sinceTime(std::string_view text, std::time_t now);

// --image: a SHA-256 or the first digits of one (at least 4), any letter
// case; the lower-case prefix, or nothing.
std::optional<std::string> imagePrefix(std::string_view text);

bool matches(const RecordFilter& filter, const ProductionRecord& r);

std::optional<SummaryKey> summaryKeyNamed(std::string_view name);  // station, part, image, adapter, day
const char* summaryKeyName(SummaryKey key);                        // "all" for kAll
// The group a row is counted in. An adapter is known by its USB serial
// number; one without is its station and place, so that the same port on
// two stations is not taken for one adapter.
std::string summaryKeyOf(SummaryKey by, const ProductionRecord& r);

// Passed and failed counts by key, handed out ordered by key.
class SummaryTally {
 public:
  void add(const std::string& key, bool pass);
  std::vector<SummaryGroup> groups() const;

 private:
  std::map<std::string, SummaryGroup> groups_;
};

// passed / (passed + failed); 0 for no rows.
double yieldOf(const SummaryGroup& g);

}  // namespace lw
