#include "cli/console_progress.h"

#include <algorithm>

namespace lw::cli {

namespace {
// The status line's size in the main window, in pixels: the bar's
// proportions follow from it exactly as they do on screen.
constexpr PaintRect kStatusField{0, 0, 377, 21};
}  // namespace

PaintRect ConsoleProgress::clientRect(int) const { return kStatusField; }

std::string progressBarText(const ProgressPaint& paint, int cells) {
  const int total = paint.rest.right - paint.done.left;
  const int done = paint.done.width();
  const int filled = total > 0 ? std::clamp((done * cells + total / 2) / total, 0, cells) : 0;
  std::string bar = "[";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(cells - filled), '-');
  bar += "] ";
  bar += paint.text;
  return bar;
}

int progressPercent(const ProgressPaint& paint) {
  const auto dots = paint.text.rfind("...");
  const auto percent = paint.text.rfind('%');
  if (dots == std::string::npos || percent == std::string::npos || percent <= dots + 3) return -1;
  try {
    return std::stoi(paint.text.substr(dots + 3, percent - dots - 3));
  } catch (...) {
    return -1;
  }
}

void ConsoleProgress::paintProgress(int, const ProgressPaint& paint) {
  switch (style_) {
    case ProgressStyle::None:
      return;
    case ProgressStyle::Bar: {
      if (!paint.bar) {
        clearLine();
        return;
      }
      const std::string line = progressBarText(paint, kBarCells);
      if (line == drawn_) return;
      std::string padded = line;
      if (drawn_.size() > line.size()) padded.append(drawn_.size() - line.size(), ' ');
      std::fprintf(out_, "\r%s", padded.c_str());
      std::fflush(out_);
      drawn_ = line;
      return;
    }
    case ProgressStyle::Lines: {
      if (!paint.bar) {
        lastTenth_ = -1;
        return;
      }
      const int percent = progressPercent(paint);
      if (percent < 0 || percent / 10 == lastTenth_) return;
      lastTenth_ = percent / 10;
      std::fprintf(out_, "%s\n", progressBarText(paint, kBarCells).c_str());
      std::fflush(out_);
      return;
    }
  }
}

void ConsoleProgress::clearLine() {
  if (drawn_.empty()) return;
  std::fprintf(out_, "\r%s\r", std::string(drawn_.size(), ' ').c_str());
  std::fflush(out_);
  drawn_.clear();
}

}  // namespace lw::cli
