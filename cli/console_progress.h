#pragma once
// The main window's progress bar on a console. The main dialog works out
// the picture (how much is done, "Completed ...40%"); this painter draws it
// as a text bar on standard error, redrawn in place on a terminal, or as
// one line per tenth when the output is a file or a pipe.
#include <cstdio>
#include <string>

#include "core/ports/progress_paint_port.h"

namespace lw::cli {

enum class ProgressStyle {
  None,   // draw nothing
  Bar,    // a bar redrawn in place (a terminal)
  Lines,  // "Completed ...10%", "...20%"... one line each
};

class ConsoleProgress final : public ProgressPaintPort {
 public:
  ConsoleProgress(ProgressStyle style, std::FILE* out) : style_(style), out_(out) {}

  PaintRect clientRect(int controlId) const override;
  void paintProgress(int controlId, const ProgressPaint& paint) override;

  // Clears a bar drawn in place, so that a message line starts on an empty line.
  void clearLine();

  static constexpr int kBarCells = 30;

 private:
  ProgressStyle style_;
  std::FILE* out_;
  std::string drawn_;    // what the bar line shows now; empty when cleared
  int lastTenth_ = -1;   // Lines: the last tenth written
};

// The text bar for a picture: "[#########---------------------] Completed ...30%".
std::string progressBarText(const ProgressPaint& paint, int cells);

// The percentage in a picture's text ("Completed ...40%" -> 40), or -1.
int progressPercent(const ProgressPaint& paint);

}  // namespace lw::cli
