#include "ui/dialogs/form_preview_scroll.h"

#include <algorithm>

namespace lw {

PreviewScroll setUpPreviewScroll(CellSize cell, int clientWidth, int clientHeight) {
  PreviewScroll s;
  s.cell = cell;
  s.vertical = {kFormPageRows * cell.cy, clientHeight, 0};
  s.horizontal = {kFormPageColumns * cell.cx, clientWidth, 0};
  return s;
}

bool applyScroll(ScrollBarState& bar, int step, ScrollRequest request, int thumbPosition) {
  int next = bar.position;
  switch (request) {
    case ScrollRequest::LineUp: next -= step; break;
    case ScrollRequest::LineDown: next += step; break;
    case ScrollRequest::PageUp: next -= kPreviewPageStepCells * step; break;
    case ScrollRequest::PageDown: next += kPreviewPageStepCells * step; break;
    case ScrollRequest::ThumbReleased: next = thumbPosition; break;
    default: return false;
  }
  bar.position = std::clamp(next, 0, bar.maxPosition());
  return true;
}

}  // namespace lw
