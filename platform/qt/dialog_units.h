#pragma once
// Dialog units as the program's dialog templates use them, turned into
// pixels with the base units of the font the dialog really shows: the
// average width of the letters (a horizontal unit is a quarter of it) and
// the character height (a vertical unit is an eighth). The template's face
// may not exist on this desktop; its stand-in decides the size.
#include <QFont>
#include <QRect>

namespace lw {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  QRect toPixels(int x, int y, int width, int height) const;
  double pixelsPerUnitX() const { return unitX_; }
  double pixelsPerUnitY() const { return unitY_; }

 private:
  double unitX_ = 1.5;
  double unitY_ = 1.75;
};

}  // namespace lw
