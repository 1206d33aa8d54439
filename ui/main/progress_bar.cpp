#include "ui/main/progress_bar.h"

#include <algorithm>
#include <string>

#include "core/text.h"

namespace lw {

ProgressPaint progressPaint(const PaintRect& client, int value, std::string_view completedWord) {
  ProgressPaint p;
  p.fontFace = "Courier";
  p.fontPixelHeight = 10;
  p.fontWeight = 400;
  p.textX = kProgressTextX;
  p.textY = kProgressTextY;
  p.doneTextColour = kProgressDoneTextColour;
  p.restTextColour = kProgressRestTextColour;

  const int left = client.left + 1;
  const int right = client.right - 1;
  const int percent = std::min(value, 100);
  const int split = value < 0 ? left : left + percent * (right - left) / 100;
  p.rest = {split, client.top, right, client.bottom};
  if (value < 0) return p;

  p.bar = true;
  p.done = {left, client.top, split, client.bottom};
  p.text = format("%s ...%d%%", std::string(completedWord).c_str(), percent);
  return p;
}

}  // namespace lw
