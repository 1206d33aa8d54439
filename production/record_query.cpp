#include "production/record_query.h"

#include <cctype>
#include <charconv>

namespace lw {

namespace {

bool allDigits(std::string_view s) {
  for (const char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// YYYY-MM-DD with a month and day that can be.
bool isDay(std::string_view s) {
  if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
  if (!allDigits(s.substr(0, 4)) || !allDigits(s.substr(5, 2)) || !allDigits(s.substr(8, 2))) return false;
  const int month = (s[5] - '0') * 10 + (s[6] - '0');
  const int day = (s[8] - '0') * 10 + (s[9] - '0');
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// HH:MM:SS
bool isClock(std::string_view s) {
  if (s.size() != 8 || s[2] != ':' || s[5] != ':') return false;
  if (!allDigits(s.substr(0, 2)) || !allDigits(s.substr(3, 2)) || !allDigits(s.substr(6, 2))) return false;
  return (s[0] - '0') * 10 + (s[1] - '0') < 24 && s[3] < '6' && s[6] < '6';
}

}  // namespace

std::optional<uint64_t> serialValue(std::string_view hex) {
  if (hex.size() > 2 && hex[0] == '0' && (hex[1] == 'x' || hex[1] == 'X')) hex.remove_prefix(2);
  if (hex.empty() || hex.size() > 16) return std::nullopt;
  uint64_t v = 0;
  const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
  if (error != std::errc() || end != hex.data() + hex.size()) return std::nullopt;
  return v;
}

std::optional<std::string> sinceTime(std::string_view text, std::time_t now) {
  if (text == "today") {
    std::tm parts{};
    gmtime_r(&now, &parts);
    char day[16];
    std::strftime(day, sizeof day, "%Y-%m-%d", &parts);
    return std::string(day) + "T00:00:00Z";
  }
  if (isDay(text)) return std::string(text) + "T00:00:00Z";
  if (text.size() == 20 && isDay(text.substr(0, 10)) && text[10] == 'T' && isClock(text.substr(11, 8)) &&
      text[19] == 'Z')
    return std::string(text);
  return std::nullopt;
}

std::optional<std::string> imagePrefix(std::string_view text) {
  if (text.size() < 4 || text.size() > 64) return std::nullopt;
  std::string prefix;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    prefix += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return prefix;
}

bool matches(const RecordFilter& f, const ProductionRecord& r) {
  if (f.serial && serialValue(r.serialNumber) != f.serial) return false;
  if (f.serialString && r.serialString != *f.serialString) return false;
  if (!f.imageSha256.empty() && r.imageSha256.compare(0, f.imageSha256.size(), f.imageSha256) != 0) return false;
  if (!f.since.empty() && r.time < f.since) return false;
  if (!f.command.empty() && r.command != f.command) return false;
  return true;
}

std::optional<SummaryKey> summaryKeyNamed(std::string_view name) {
  for (const SummaryKey k : {SummaryKey::kStation, SummaryKey::kPart, SummaryKey::kImage, SummaryKey::kAdapter,
                             SummaryKey::kDay})
    if (name == summaryKeyName(k)) return k;
  return std::nullopt;
}

const char* summaryKeyName(SummaryKey key) {
  switch (key) {
    case SummaryKey::kStation: return "station";
    case SummaryKey::kPart: return "part";
    case SummaryKey::kImage: return "image";
    case SummaryKey::kAdapter: return "adapter";
    case SummaryKey::kDay: return "day";
    case SummaryKey::kAll: break;
  }
  return "all";
}

std::string summaryKeyOf(SummaryKey by, const ProductionRecord& r) {
  switch (by) {
    case SummaryKey::kStation: return r.station;
    case SummaryKey::kPart: return r.part;
    case SummaryKey::kImage: return r.imageSha256;
    case SummaryKey::kAdapter: return r.adapterSerial.empty() ? r.station + " " + r.adapter : r.adapterSerial;
    case SummaryKey::kDay: return r.time.substr(0, 10);
    case SummaryKey::kAll: break;
  }
  return "all";
}

void SummaryTally::add(const std::string& key, bool pass) {
  SummaryGroup& g = groups_[key];
  g.key = key;
  ++(pass ? g.passed : g.failed);
}

std::vector<SummaryGroup> SummaryTally::groups() const {
  std::vector<SummaryGroup> out;
  for (const auto& [key, g] : groups_) out.push_back(g);
  return out;
}

double yieldOf(const SummaryGroup& g) {
  const uint64_t all = g.passed + g.failed;
  return all == 0 ? 0.0 : static_cast<double>(g.passed) / static_cast<double>(all);
}

}  // namespace lw
