#pragma once
// How a request form is drawn, the same for the preview, the picture and
// the printed page: the frame lines, then the text, in a fixed-pitch font,
// on a page measured in character cells. The toolkit side implements
// FormCanvas; the layout is computed here.
#include <string>
#include <string_view>
#include <vector>

namespace lw {

// The preview and the picture use a page of 100 x 70 cells.
inline constexpr int kFormPageColumns = 100;
inline constexpr int kFormPageRows = 70;
inline constexpr int kFormTabColumns = 8;

// Width and height in pixels of "0" in the form font.
struct CellSize {
  int cx = 0;
  int cy = 0;
};

// Which column of frame coordinates applies: the screen page (preview and
// picture) or the printed page, whose frame sits four cells further right.
enum class FrameTarget { Screen, Print };

// A frame line from (x1, y1) towards (x2, y2): the start pixel is drawn,
// the end pixel is not (a pen moved to the start and drawn to the end).
struct FrameLine {
  int x1, y1, x2, y2;
  bool operator==(const FrameLine&) const = default;
};

std::vector<FrameLine> formFrameLines(FrameTarget target, CellSize cell);

// One line of text at its place on the page.
struct PlacedText {
  int x = 0;  // left edge; negative when the line is wider than the page
  int y = 0;  // top
  std::u16string text;  // tabs expanded
};

// The form's lines (split at CR LF), tabs expanded to stops every 8
// columns, each centred on a page pageWidth pixels wide, one cell height
// apart from the top. No other character is treated specially.
std::vector<PlacedText> placeFormText(std::u16string_view form, CellSize cell, int pageWidth);

class FormCanvas {
 public:
  virtual ~FormCanvas() = default;
  virtual void drawLine(const FrameLine& line) = 0;
  // Draws the text with its top-left corner at (x, y), transparent behind.
  virtual void drawText(int x, int y, std::u16string_view text) = 0;
};

// Frame lines first, then the text.
void drawRequestForm(FormCanvas& canvas, FrameTarget target, CellSize cell, int pageWidth, std::u16string_view form);

}  // namespace lw
