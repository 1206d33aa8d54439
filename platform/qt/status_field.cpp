#include "platform/qt/status_field.h"

#include <QPainter>

namespace lw {

namespace {

QRect toQRect(const PaintRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QColor systemColour(const QWidget& w, SystemColour role) {
  // The platform has no desktop colour of its own; the selection colour is
  // its nearest match and keeps white text readable.
  return w.palette().color(role == SystemColour::ButtonFace ? QPalette::Button : QPalette::Highlight);
}

}  // namespace

StatusField::StatusField(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setTextFormat(Qt::PlainText);
  setIndent(3);
}

PaintRect StatusField::clientRect() const {
  const QRect r = contentsRect();
  return {0, 0, r.width(), r.height()};
}

void StatusField::showProgress(const ProgressPaint& paint) {
  if (paint.bar) {
    progress_ = paint;
  } else {
    progress_.reset();
  }
  repaint();
}

void StatusField::paintEvent(QPaintEvent* event) {
  if (!progress_) {
    QLabel::paintEvent(event);
    return;
  }
  QFrame::paintEvent(event);  // the panel border only
  const ProgressPaint& p = *progress_;
  QPainter painter(this);
  painter.translate(contentsRect().topLeft());
  painter.fillRect(toQRect(p.rest), systemColour(*this, p.restFill));
  painter.fillRect(toQRect(p.done), systemColour(*this, p.doneFill));

  QFont font(QString::fromStdString(p.fontFace));
  font.setPixelSize(p.fontPixelHeight);
  font.setWeight(static_cast<QFont::Weight>(p.fontWeight));
  font.setStyleHint(QFont::TypeWriter);
  // Drawn without antialiasing: at 10 pixels smoothed text is hard to read,
  // and its edge pixels would blend the two text colours with the fills
  // instead of being exactly white or dark blue, whatever face stands in
  // for "Courier".
  font.setStyleStrategy(QFont::NoAntialias);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setFont(font);
  const QString text = QString::fromStdString(p.text);
  const int baseline = p.textY + painter.fontMetrics().ascent();
  // The same text twice, each clipped to one part, so it changes colour
  // exactly where the bar ends.
  painter.setClipRect(toQRect(p.done));
  painter.setPen(QColor(p.doneTextColour.red, p.doneTextColour.green, p.doneTextColour.blue));
  painter.drawText(p.textX, baseline, text);
  painter.setClipRect(toQRect(p.rest));
  painter.setPen(QColor(p.restTextColour.red, p.restTextColour.green, p.restTextColour.blue));
  painter.drawText(p.textX, baseline, text);
}

}  // namespace lw
