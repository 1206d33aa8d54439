#include "platform/qt/dialog_units.h"

#include <QFontMetricsF>
#include <cmath>

namespace lw {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetricsF fm(font);
  const double letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  unitX_ = std::max(1.0, letters / 52.0) / 4.0;
  unitY_ = std::max(1.0, std::ceil(fm.height())) / 8.0;
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const {
  // Edges are rounded, not sizes, so neighbours that touch in units touch
  // in pixels too.
  const int left = static_cast<int>(std::lround(x * unitX_));
  const int top = static_cast<int>(std::lround(y * unitY_));
  const int right = static_cast<int>(std::lround((x + width) * unitX_));
  const int bottom = static_cast<int>(std::lround((y + height) * unitY_));
  return QRect(left, top, right - left, bottom - top);
}

}  // namespace lw
