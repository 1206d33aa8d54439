#pragma once
// Painting the progress bar into a status field. The logic works out the
// whole picture (rectangles, text, colours, font); the view only paints it.
#include <cstdint>
#include <string>

namespace lw {

struct PaintRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const PaintRect&) const = default;
};

struct PaintColour {
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const PaintColour&) const = default;
};

// Colours the platform supplies itself.
enum class SystemColour { ButtonFace, DesktopBackground };

struct ProgressPaint {
  bool bar = false;        // false: only the button-face fill (the bar is removed)
  PaintRect done;          // filled with doneFill; empty when there is no bar
  PaintRect rest;          // filled with restFill
  SystemColour doneFill = SystemColour::DesktopBackground;
  SystemColour restFill = SystemColour::ButtonFace;
  std::string text;        // drawn twice: clipped to done, then to rest
  int textX = 0, textY = 0;  // top-left of the text, in field coordinates
  PaintColour doneTextColour;
  PaintColour restTextColour;
  std::string fontFace;
  int fontPixelHeight = 0;
  int fontWeight = 400;
};

class ProgressPaintPort {
 public:
  virtual ~ProgressPaintPort() = default;
  // The client rectangle of a control, in its own coordinates.
  virtual PaintRect clientRect(int controlId) const = 0;
  // Paints the picture over the control at once (not deferred).
  virtual void paintProgress(int controlId, const ProgressPaint& paint) = 0;
};

}  // namespace lw
