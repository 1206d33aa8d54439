#include "platform/qt/warning_sign_frames.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/dialogs/firmware_prompt.h"

namespace lw {

namespace {

constexpr int kSize = prompt::kSignSize;

// The complete sign: a yellow triangle with a black rim and an
// exclamation mark.
void paintSign(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath triangle;
  triangle.moveTo(kSize / 2.0, 3.0);
  triangle.lineTo(kSize - 2.5, kSize - 4.0);
  triangle.lineTo(2.5, kSize - 4.0);
  triangle.closeSubpath();
  p.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(255, 230, 0));
  p.drawPath(triangle);

  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawRoundedRect(QRectF(kSize / 2.0 - 2.2, 14.0, 4.4, 13.0), 2.0, 2.0);
  p.drawEllipse(QPointF(kSize / 2.0, 31.5), 2.4, 2.4);
}

QImage blank(const QColor& fill) {
  QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

}  // namespace

std::vector<QImage> warningSignFrames() {
  std::vector<QImage> frames;
  for (int k = 0; k < prompt::kFrameCount; ++k) {
    QImage frame = blank(Qt::transparent);
    if (k > 0) {
      QPainter p(&frame);
      // Each frame shows a little more of the sign, rising from its base.
      const int shown = kSize * k / prompt::kCompleteFrame;
      p.setClipRect(0, kSize - shown, kSize, shown);
      paintSign(p);
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

QImage finishedSignBitmap() {
  QImage image = blank(kPromptAmber);
  QPainter p(&image);
  paintSign(p);
  return image;
}

}  // namespace lw
