#pragma once
// The part database: one keyed table per part, numbered 4096 + Part index,
// whose keys describe the part. Applying a part copies its descriptor into
// the Part record.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/part_record.h"
#include "resources/resource_source.h"

namespace lw {

inline constexpr uint32_t kPartTableBase = 4096;
inline constexpr uint16_t kMaxPartIndex = 4094;
inline constexpr int kOptionBoxCount = 12;

namespace partkey {
inline constexpr uint16_t kName = 0;
inline constexpr uint16_t kFlashSize = 1;
inline constexpr uint16_t kOptionByteCount = 2;
inline constexpr uint16_t kDefaultOptionBytes = 15;
inline constexpr uint16_t kSeries = 21;
inline constexpr uint16_t kIapAddress = 22;
inline constexpr uint16_t kAdapterParamA = 24;
inline constexpr uint16_t kAdapterParamB = 25;
inline constexpr uint16_t kAdapterParamC = 26;
inline constexpr uint16_t kDeviceId = 162;
inline constexpr uint16_t kKey163 = 163;
inline constexpr uint16_t kOptionBitBase = 256;
}  // namespace partkey

struct PartEntry {
  std::string name;  // first word of key 0
  uint16_t partIndex;
};

// Parts whose key 21 names the series, ordered by ascending Part index and
// inserted before the first entry whose index modulo 128 is greater.
std::vector<PartEntry> partsOfSeries(const ResourceSource& res, uint32_t seriesNumber);

// Whether the part box can offer the part: its descriptor names a listed
// series and carries a name.
bool partIsOffered(const ResourceSource& res, uint16_t partIndex);

struct OptionBitRecord {
  uint32_t byteIndex = 0;
  uint32_t mask = 0;
  std::string name;
  std::string description;  // in the language in use
};

// Key 256 + i of the part's descriptor, or nothing.
std::optional<OptionBitRecord> optionBitRecord(const ResourceSource& res, uint16_t partIndex, int i,
                                               uint16_t languageIndex = 0);

// Fills the Part record from the descriptor of partIndex. (Resetting the
// project record is the caller's part.)
void applyPart(const ResourceSource& res, uint16_t partIndex, PartRecord& part);

// The descriptor's flash size (first number of key 1) and the limit a
// loaded file is checked against (the second number when there is one).
uint32_t flashSize(const ResourceSource& res, uint16_t partIndex);
uint32_t fileSizeLimit(const ResourceSource& res, uint16_t partIndex);

// The first word of a display name.
std::string firstWord(const std::string& text);

}  // namespace lw
