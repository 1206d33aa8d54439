#include "report/form_drawing.h"

namespace lw {

std::vector<FrameLine> formFrameLines(FrameTarget target, CellSize cell) {
  const int c = cell.cx, b = cell.cy;
  // The printed frame is the screen frame moved right; the underlines by
  // five cells, the box by four (its right side by three).
  const bool print = target == FrameTarget::Print;
  const int underlineLeft = (print ? 25 : 20) * c - c / 4;
  const int underlineRight = (print ? 55 : 50) * c + c / 4;
  const int left = (print ? 17 : 13) * c - c / 2;
  const int right = (print ? 92 : 89) * c + c / 2;
  const int labelColumn = (print ? 33 : 29) * c - c / 2;
  const int sizeColumn = (print ? 55 : 51) * c - c / 2;
  const int checksumColumn = (print ? 72 : 68) * c - c / 2;
  const int top = 13 * b + b / 2;
  const int bottom = top + 31 * b;

  std::vector<FrameLine> lines;
  lines.push_back({underlineLeft, 7 * b + b / 3, underlineRight, 7 * b + b / 3});
  lines.push_back({underlineLeft, 9 * b + 1, underlineRight, 9 * b + 1});
  lines.push_back({underlineLeft, 11 * b + 1, underlineRight, 11 * b + 1});
  for (int k = 0; k <= 8; ++k) lines.push_back({left, top + 2 * k * b, right, top + 2 * k * b});
  lines.push_back({left, bottom, right, bottom});
  lines.push_back({left, bottom, left, top});
  lines.push_back({right, bottom, right, top});
  lines.push_back({labelColumn, top, labelColumn, top + 16 * b});
  lines.push_back({sizeColumn, 21 * b + b / 2, sizeColumn, 27 * b + b / 2});
  lines.push_back({checksumColumn, 21 * b + b / 2, checksumColumn, 27 * b + b / 2});
  lines.push_back({sizeColumn, 36 * b + b / 2, sizeColumn, 42 * b + b / 2});
  return lines;
}

std::vector<PlacedText> placeFormText(std::u16string_view form, CellSize cell, int pageWidth) {
  std::vector<PlacedText> placed;
  std::size_t start = 0;
  while (start <= form.size()) {
    std::size_t end = form.find(u'\n', start);
    if (end == std::u16string_view::npos) end = form.size();
    std::u16string_view line = form.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);

    PlacedText p;
    for (const char16_t ch : line) {
      if (ch == u'\t') {
        p.text.append(kFormTabColumns - p.text.size() % kFormTabColumns, u' ');
      } else {
        p.text += ch;
      }
    }
    const int width = static_cast<int>(p.text.size()) * cell.cx;
    // Centred like a draw-text call: the spare width split, rounded down.
    p.x = (pageWidth - width) / 2;
    p.y = static_cast<int>(placed.size()) * cell.cy;
    placed.push_back(std::move(p));
    start = end + 1;
  }
  return placed;
}

void drawRequestForm(FormCanvas& canvas, FrameTarget target, CellSize cell, int pageWidth, std::u16string_view form) {
  for (const FrameLine& line : formFrameLines(target, cell)) canvas.drawLine(line);
  for (const PlacedText& p : placeFormText(form, cell, pageWidth)) canvas.drawText(p.x, p.y, p.text);
}

}  // namespace lw
