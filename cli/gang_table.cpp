#include "cli/gang_table.h"

#include <algorithm>

#include "core/text.h"

namespace lw::cli {

namespace {

constexpr int kBarCells = 20;

// The number after "key": in a line of the tool's own JSON, or -1.
long long numberAfter(const std::string& line, const std::string& key) {
  const auto at = line.find("\"" + key + "\":");
  if (at == std::string::npos) return -1;
  const std::size_t start = at + key.size() + 3;
  const std::size_t end = line.find_first_not_of("0123456789", start);
  if (end == start || end == std::string::npos || end - start > 18) return -1;
  return std::stoll(line.substr(start, end - start));
}

// The text after "key":" up to the next quote, or "".
std::string textAfter(const std::string& line, const std::string& key) {
  const auto at = line.find("\"" + key + "\":\"");
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size() + 4;
  const std::size_t end = line.find('"', start);
  return end == std::string::npos ? std::string() : line.substr(start, end - start);
}

std::string stateText(const GangRow& row) {
  switch (row.state) {
    case GangRow::State::kWaiting: return "waiting";
    case GangRow::State::kRunning: return row.phase.empty() ? "running" : row.phase;
    case GangRow::State::kPassed: return "PASS";
    case GangRow::State::kFailed: return "FAIL" + (row.outcome.empty() ? std::string() : ": " + row.outcome);
  }
  return "";
}

}  // namespace

void takeWorkerLine(GangRow& row, const std::string& line) {
  if (row.state == GangRow::State::kWaiting) row.state = GangRow::State::kRunning;
  if (!line.empty()) row.messages.push_back(line);
}

void takeWorkerOutput(GangRow& row, const std::string& line) {
  if (line.rfind("{\"event\":\"progress\",", 0) != 0) return;
  const std::string phase = textAfter(line, "phase");
  const long long done = numberAfter(line, "done");
  const long long total = numberAfter(line, "total");
  if (phase.empty() || done < 0 || total < 0) return;
  if (row.state == GangRow::State::kWaiting) row.state = GangRow::State::kRunning;
  row.phase = phase;
  row.percent = total == 0 ? -1 : static_cast<int>(std::min<long long>(done * 100 / total, 100));
}

std::string rowText(const GangRow& row, std::size_t placeWidth) {
  std::string text = row.place;
  if (text.size() < placeWidth) text.append(placeWidth - text.size(), ' ');
  const int p = std::max(row.percent, 0);
  const int filled = row.state == GangRow::State::kPassed ? kBarCells : p * kBarCells / 100;
  text += "  [" + std::string(static_cast<std::size_t>(filled), '#') +
          std::string(static_cast<std::size_t>(kBarCells - filled), '-') + "]";
  text += row.percent >= 0 ? format(" %3d%%  ", row.percent) : std::string("   -   ");
  return text + stateText(row);
}

void GangDisplay::draw(const std::vector<GangRow>& rows) {
  std::size_t width = 0;
  for (const GangRow& r : rows) width = std::max(width, r.place.size());
  if (terminal_) {
    // Back to the first row, then every row anew, each line cleared to its end.
    if (drawnRows_ > 0) std::fprintf(out_, "\x1b[%zuF", drawnRows_);
    for (const GangRow& r : rows) std::fprintf(out_, "%s\x1b[K\n", rowText(r, width).c_str());
    drawnRows_ = rows.size();
    std::fflush(out_);
    return;
  }
  if (!lines_) return;
  lastShown_.resize(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const GangRow& r = rows[i];
    const bool ended = r.state == GangRow::State::kPassed || r.state == GangRow::State::kFailed;
    const std::string key = ended ? "end" : r.phase + format(" %d", r.percent / 10);
    if (r.state == GangRow::State::kWaiting || key == lastShown_[i]) continue;
    lastShown_[i] = key;
    std::fprintf(out_, "%s\n", rowText(r, width).c_str());
  }
  std::fflush(out_);
}

}  // namespace lw::cli
