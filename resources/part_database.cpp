#include "resources/part_database.h"

#include "core/text.h"
#include "resources/keyed_table.h"
#include "resources/series_table.h"

namespace lw {

namespace {
uint32_t table(uint16_t partIndex) { return kPartTableBase + partIndex; }

// Key 1 holds one number or two separated by '|', ',' or a blank.
std::vector<std::string> flashNumbers(const ResourceSource& res, uint16_t partIndex) {
  const auto text = textByKey(res, table(partIndex), partkey::kFlashSize);
  if (!text) return {};
  return splitAny(*text, "|, ", true);
}
}  // namespace

std::string firstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

std::vector<PartEntry> partsOfSeries(const ResourceSource& res, uint32_t seriesNumber) {
  std::vector<PartEntry> list;
  for (uint32_t index = 0; index <= kMaxPartIndex; ++index) {
    const auto p = static_cast<uint16_t>(index);
    if (numberByKey(res, table(p), partkey::kSeries) != seriesNumber) continue;
    const auto name = textByKey(res, table(p), partkey::kName);
    if (!name) continue;
    auto pos = list.begin();
    while (pos != list.end() && (pos->partIndex % 128) <= (p % 128)) ++pos;
    list.insert(pos, PartEntry{firstWord(*name), p});
  }
  return list;
}

bool partIsOffered(const ResourceSource& res, uint16_t partIndex) {
  if (partIndex > kMaxPartIndex) return false;
  // The series' list holds exactly its parts that carry a name, so the
  // part's own descriptor answers without walking every Part index.
  const uint32_t series = numberByKey(res, table(partIndex), partkey::kSeries);
  for (const SeriesEntry& entry : seriesEntries()) {
    if (entry.seriesNumber == series) return textByKey(res, table(partIndex), partkey::kName).has_value();
  }
  return false;
}

std::optional<OptionBitRecord> optionBitRecord(const ResourceSource& res, uint16_t partIndex, int i,
                                               uint16_t languageIndex) {
  const auto text = textByKey(res, table(partIndex), static_cast<uint16_t>(partkey::kOptionBitBase + i));
  if (!text) return std::nullopt;
  const auto fields = splitAny(*text, "|", false);
  OptionBitRecord r;
  if (fields.size() > 0) r.byteIndex = parseNumberAuto(fields[0]);
  if (fields.size() > 1) r.mask = parseNumberAuto(fields[1]);
  if (fields.size() > 2) r.name = fields[2];
  const std::size_t described = 3 + static_cast<std::size_t>(languageIndex);
  if (fields.size() > described) {
    r.description = fields[described];
  } else if (fields.size() > 3) {
    r.description = fields[3];
  }
  return r;
}

uint32_t flashSize(const ResourceSource& res, uint16_t partIndex) {
  return numberByKey(res, table(partIndex), partkey::kFlashSize);
}

uint32_t fileSizeLimit(const ResourceSource& res, uint16_t partIndex) {
  const auto numbers = flashNumbers(res, partIndex);
  if (numbers.size() >= 2) return parseNumberAuto(numbers[1]);
  return flashSize(res, partIndex);
}

void applyPart(const ResourceSource& res, uint16_t partIndex, PartRecord& part) {
  part.reset();
  part.partIndex = partIndex;
  const uint32_t t = table(partIndex);
  part.flashSize = numberByKey(res, t, partkey::kFlashSize);
  part.optionByteCount = static_cast<uint8_t>(numberByKey(res, t, partkey::kOptionByteCount));
  part.deviceId = numberByKey(res, t, partkey::kDeviceId);
  part.key163Value = numberByKey(res, t, partkey::kKey163);
  part.adapterParamA = static_cast<uint8_t>(numberByKey(res, t, partkey::kAdapterParamA));
  part.adapterParamB = static_cast<uint8_t>(numberByKey(res, t, partkey::kAdapterParamB));
  part.adapterParamC = static_cast<uint8_t>(numberByKey(res, t, partkey::kAdapterParamC));
  if (const auto name = textByKey(res, t, partkey::kName)) part.partName = firstWord(*name);

  for (std::size_t i = 0; i < part.optionByteCount; ++i) part.optionBytes[i] = 0xFF;
  if (const auto defaults = textByKey(res, t, partkey::kDefaultOptionBytes)) {
    std::size_t i = 0;
    for (const std::string& piece : splitAny(*defaults, " ,;|", true)) {
      if (i >= part.optionBytes.size()) break;
      part.optionBytes[i++] = static_cast<uint8_t>(parseNumberAuto(piece));
    }
  }
}

}  // namespace lw
