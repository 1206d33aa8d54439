#include <algorithm>

#include <gtest/gtest.h>

#include "resources/embedded_resources.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"
#include "resources/series_table.h"
#include "table_builder.h"

namespace lw {
namespace {

using test::MapResources;
using test::TableBuilder;

TEST(SeriesTable, OnlyLarchIsOffered) {
  const auto entries = seriesEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Larch Series");
  EXPECT_EQ(entries[0].seriesNumber, 6u);
  EXPECT_EQ(seriesTable().size(), 6u);
}

TEST(PartDatabase, PartsOfSeriesFollowTheModulo128Order) {
  const auto parts = partsOfSeries(embeddedResources(), 6);
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[0].name, "Larch-F8U6");
  EXPECT_EQ(parts[1].name, "Larch-K8U6");
  EXPECT_EQ(parts[2].name, "Larch-F8P6");
  EXPECT_EQ(parts[3].name, "Larch-K8T6");
  EXPECT_EQ(parts[0].partIndex, 43);
  EXPECT_EQ(parts[3].partIndex, 59);
  EXPECT_TRUE(partsOfSeries(embeddedResources(), 5).empty());

  // Index 130 (130 % 128 = 2) goes before 43; index 171 (43) after it.
  MapResources res;
  for (uint16_t index : {43, 130, 171, 3}) {
    res.add("DYNAMIC", 4096 + index,
            TableBuilder().entry(0, std::string("P").append(std::to_string(index)).append(" extra words")).entry(21, "6").end().bytes);
  }
  res.add("DYNAMIC", 4096 + 7, TableBuilder().entry(21, "6").end().bytes);  // no name: skipped
  std::vector<uint16_t> order;
  for (const auto& p : partsOfSeries(res, 6)) order.push_back(p.partIndex);
  EXPECT_EQ(order, (std::vector<uint16_t>{130, 3, 43, 171}));
  EXPECT_EQ(partsOfSeries(res, 6)[0].name, "P130");
}

// A part is offered exactly when its series' list holds it.
TEST(PartDatabase, PartIsOfferedAgreesWithTheSeriesList) {
  MapResources res;
  res.add("DYNAMIC", 4096 + 43, TableBuilder().entry(0, "Larch-A").entry(21, "6").end().bytes);
  res.add("DYNAMIC", 4096 + 7, TableBuilder().entry(21, "6").end().bytes);           // no name
  res.add("DYNAMIC", 4096 + 9, TableBuilder().entry(0, "Other").entry(21, "5").end().bytes);  // series not listed
  res.add("DYNAMIC", 4096 + 4094, TableBuilder().entry(0, "Last").entry(21, "0x6").end().bytes);
  for (const ResourceSource* source : {static_cast<const ResourceSource*>(&res), &embeddedResources()}) {
    const auto listed = partsOfSeries(*source, 6);
    for (uint32_t index = 0; index <= 0xFFFF; ++index) {
      const auto p = static_cast<uint16_t>(index);
      const bool inList = std::any_of(listed.begin(), listed.end(), [&](const PartEntry& e) { return e.partIndex == p; });
      ASSERT_EQ(partIsOffered(*source, p), inList) << "Part index " << index;
    }
  }
  EXPECT_TRUE(partIsOffered(res, 4094));
  EXPECT_FALSE(partIsOffered(res, 7));
  EXPECT_FALSE(partIsOffered(res, 9));
}

TEST(PartDatabase, ApplyPartFillsThePartRecord) {
  PartRecord part;
  part.codeSize = 1234;
  applyPart(embeddedResources(), 43, part);
  EXPECT_EQ(part.partIndex, 43);
  EXPECT_EQ(part.flashSize, 0x10000u);
  EXPECT_EQ(part.optionByteCount, 8);
  EXPECT_EQ(part.deviceId, 0x30298003u);
  EXPECT_EQ(part.key163Value, 0xFFFFFFFFu);
  EXPECT_EQ(part.partName, "Larch-F8U6");
  EXPECT_EQ(part.adapterParamA, 0x19);
  EXPECT_EQ(part.adapterParamB, 0x37);
  EXPECT_EQ(part.adapterParamC, 0x10);
  EXPECT_EQ(part.codeSize, 0u) << "applying a part clears the record";
  for (uint8_t b : part.optionBytes) EXPECT_EQ(b, 0xFF);
  // The offered IAP address: "0xEC00" for parts 43 and 58, "0x0xEC00" (0) for 44 and 59.
  EXPECT_EQ(numberByKey(embeddedResources(), 4096 + 43, partkey::kIapAddress), 0xEC00u);
  EXPECT_EQ(numberByKey(embeddedResources(), 4096 + 44, partkey::kIapAddress), 0u);
  EXPECT_EQ(numberByKey(embeddedResources(), 4096 + 59, 23), 59u);
}

TEST(PartDatabase, DescriptorValueForms) {
  MapResources res;
  res.add("DYNAMIC", 4096 + 10,
          TableBuilder()
              .entry(0, "Whole")
              .entry(1, "0x8000|0x7000")
              .entry(2, "0x104")  // only the low 8 bits count: 4
              .entry(15, "1,2;3 | 0x10")
              .entry(256, "7|0x80|NAME|English text|Chinese text")
              .entry(257, "1|2|ONLY")
              .end()
              .bytes);
  PartRecord part;
  applyPart(res, 10, part);
  EXPECT_EQ(part.partName, "Whole");
  EXPECT_EQ(part.flashSize, 0x8000u);
  EXPECT_EQ(fileSizeLimit(res, 10), 0x7000u);
  EXPECT_EQ(part.optionByteCount, 4);
  EXPECT_EQ(part.optionBytes[0], 1);
  EXPECT_EQ(part.optionBytes[1], 2);
  EXPECT_EQ(part.optionBytes[2], 3);
  EXPECT_EQ(part.optionBytes[3], 0x10);
  EXPECT_EQ(part.optionBytes[4], 0xFF);

  const auto r0 = optionBitRecord(res, 10, 0);
  ASSERT_TRUE(r0);
  EXPECT_EQ(r0->byteIndex, 7u);
  EXPECT_EQ(r0->mask, 0x80u);
  EXPECT_EQ(r0->name, "NAME");
  EXPECT_EQ(r0->description, "English text");
  EXPECT_EQ(optionBitRecord(res, 10, 0, 1)->description, "Chinese text");
  EXPECT_EQ(optionBitRecord(res, 10, 1, 1)->description, "") << "fewer fields keep the English one (none here)";
  EXPECT_FALSE(optionBitRecord(res, 10, 2));

  res.add("DYNAMIC", 4096 + 11, TableBuilder().entry(1, "4096 2048").entry(15, "0x12").end().bytes);
  EXPECT_EQ(flashSize(res, 11), 4096u);
  EXPECT_EQ(fileSizeLimit(res, 11), 2048u);
  res.add("DYNAMIC", 4096 + 12, TableBuilder().entry(1, "4096,1024").end().bytes);
  EXPECT_EQ(fileSizeLimit(res, 12), 1024u);
  EXPECT_EQ(fileSizeLimit(embeddedResources(), 43), 0x10000u);
}

}  // namespace
}  // namespace lw
