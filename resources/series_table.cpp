#include "resources/series_table.h"

namespace lw {

namespace {
constexpr SeriesRow kSeries[] = {
    {0, 1, 2, "Alder Series"}, {0, 2, 2, "Birch Series"}, {0, 3, 2, "Cedar Series"},
    {0, 4, 3, "Elm Series"},   {0, 5, 3, "Fir Series"},   {1, 6, 4, "Larch Series"},
    {-1, 0, 0, nullptr},  // end of table
};
}  // namespace

std::span<const SeriesRow> seriesTable() {
  std::size_t n = 0;
  while (kSeries[n].listed != -1) ++n;
  return {kSeries, n};
}

std::vector<SeriesEntry> seriesEntries() {
  std::vector<SeriesEntry> out;
  for (const SeriesRow& row : seriesTable()) {
    if (row.listed == 1) out.push_back({row.name, static_cast<uint32_t>(row.seriesNumber)});
  }
  return out;
}

}  // namespace lw
