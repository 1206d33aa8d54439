#pragma once
// The Form list dialog's preview scrolls over a page of 100 x 70 cells:
// one line is one cell, one page thirty cells, and dragging the thumb
// moves the page only when the thumb is released.
#include "report/form_drawing.h"

namespace lw {

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbReleased, ThumbTracking, Top, Bottom, EndScroll };

inline constexpr int kPreviewPageStepCells = 30;

struct ScrollBarState {
  int range = 0;     // the bar covers 0..range
  int page = 0;      // the visible part (client size)
  int position = 0;
  bool shown() const { return range > page; }
  int maxPosition() const { return range > page ? range - page : 0; }
};

struct PreviewScroll {
  CellSize cell;
  ScrollBarState vertical;    // 0 .. 70 cy
  ScrollBarState horizontal;  // 0 .. 100 cx
};

PreviewScroll setUpPreviewScroll(CellSize cell, int clientWidth, int clientHeight);

// Applies a request to one bar, step being the cell's height (vertical) or
// width (horizontal); the position is kept within the bar. Returns whether
// the request sets a position (the preview is then redrawn); tracking,
// top, bottom and end of scroll leave it.
bool applyScroll(ScrollBarState& bar, int step, ScrollRequest request, int thumbPosition = 0);

}  // namespace lw
