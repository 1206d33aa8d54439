#include "cli/parts_command.h"

#include <cstdio>

#include "cli/command_support.h"
#include "core/json_writer.h"
#include "core/text.h"
#include "resources/part_database.h"
#include "resources/series_table.h"

namespace lw::cli {

int runParts(const ResourceSource& res, const Options& options) {
  std::vector<std::string> seriesJson;
  for (const SeriesEntry& series : seriesEntries()) {
    if (!options.json) std::printf("%s (series %u)\n", series.name.c_str(), series.seriesNumber);
    std::vector<std::string> partsJson;
    for (const PartEntry& entry : partsOfSeries(res, series.seriesNumber)) {
      PartRecord part;
      applyPart(res, entry.partIndex, part);
      std::vector<std::string> bitsJson;
      std::string bitsText;
      for (int i = 0; i < kOptionBoxCount; ++i) {
        const auto bit = optionBitRecord(res, entry.partIndex, i, options.languageIndex);
        if (!bit) continue;
        bitsJson.push_back(JsonObject()
                               .add("name", bit->name)
                               .add("byte", static_cast<int64_t>(bit->byteIndex))
                               .add("mask", static_cast<int64_t>(bit->mask))
                               .add("description", bit->description)
                               .str());
        bitsText += format("    %-12s byte %u mask 0x%02X  %s\n", bit->name.c_str(), bit->byteIndex, bit->mask,
                           bit->description.c_str());
      }
      if (options.json) {
        partsJson.push_back(JsonObject()
                                .add("index", static_cast<int64_t>(entry.partIndex))
                                .add("name", entry.name)
                                .add("flash_size", static_cast<int64_t>(part.flashSize))
                                .add("file_size_limit", static_cast<int64_t>(fileSizeLimit(res, entry.partIndex)))
                                .add("option_byte_count", static_cast<int64_t>(part.optionByteCount))
                                .addRaw("option_bits", jsonArray(bitsJson))
                                .str());
      } else {
        std::printf("  %-12s index %-4u flash %u bytes, %u option bytes\n%s", entry.name.c_str(), entry.partIndex,
                    part.flashSize, part.optionByteCount, bitsText.c_str());
      }
    }
    seriesJson.push_back(JsonObject()
                             .add("name", series.name)
                             .add("series", static_cast<int64_t>(series.seriesNumber))
                             .addRaw("parts", jsonArray(partsJson))
                             .str());
  }
  JsonObject json;
  json.add("command", "parts").addRaw("series", jsonArray(seriesJson));
  return finish(options, json, kExitOk, nullptr);
}

}  // namespace lw::cli
