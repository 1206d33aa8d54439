#include "cli/gang_table.h"

#include <algorithm>

#include "core/text.h"

namespace lw::cli {

namespace {

constexpr int kBarCells = 20;

int percentOf(const std::string& line) {
  if (line.empty() || line[0] != '[' || line.find("] ") == std::string::npos) return -1;
  const auto dots = line.rfind("...");
  const auto percent = line.rfind('%');
  if (dots == std::string::npos || percent == std::string::npos || percent <= dots + 3 || percent + 1 != line.size())
    return -1;
  const std::string digits = line.substr(dots + 3, percent - dots - 3);
  if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::min(100, std::stoi(digits));
}

std::string stateText(const GangRow& row) {
  switch (row.state) {
    case GangRow::State::kWaiting: return "waiting";
    case GangRow::State::kRunning: return "running";
    case GangRow::State::kPassed: return "PASS";
    case GangRow::State::kFailed: return "FAIL" + (row.outcome.empty() ? std::string() : ": " + row.outcome);
  }
  return "";
}

}  // namespace

void takeWorkerLine(GangRow& row, const std::string& line) {
  if (row.state == GangRow::State::kWaiting) row.state = GangRow::State::kRunning;
  if (const int p = percentOf(line); p >= 0) {
    row.percent = p;
    return;
  }
  if (!line.empty()) row.messages.push_back(line);
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
    const std::string key = ended ? "end" : format("%d", r.percent / 10);
    if (r.state == GangRow::State::kWaiting || key == lastShown_[i]) continue;
    lastShown_[i] = key;
    std::fprintf(out_, "%s\n", rowText(r, width).c_str());
  }
  std::fflush(out_);
}

}  // namespace lw::cli
