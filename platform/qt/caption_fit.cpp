#include "platform/qt/caption_fit.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

namespace lw {

namespace {

constexpr int kEdgeMargin = 4;  // pixels kept free at the dialog's right and bottom edges

QString textOf(const QWidget& w) {
  if (auto* l = qobject_cast<const QLabel*>(&w)) return l->pixmap().isNull() ? l->text() : QString();
  if (auto* b = qobject_cast<const QAbstractButton*>(&w)) return b->text();
  if (auto* g = qobject_cast<const QGroupBox*>(&w)) return g->title();
  return {};
}

bool rightAligned(const QWidget& w) {
  auto* l = qobject_cast<const QLabel*>(&w);
  return l && (l->alignment() & Qt::AlignRight);
}

// The dialog's own controls: direct children that are widgets, shown or to
// be shown with the dialog.
QList<QWidget*> controlsOf(const QWidget& dialog) {
  QList<QWidget*> out;
  for (QObject* o : dialog.children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w && !w->isWindow() && !w->isHidden()) out << w;
  }
  return out;
}

}  // namespace

QSize textRoomOf(const QWidget& control) {
  const QString text = textOf(control);
  if (text.isEmpty()) return {};
  if (auto* g = qobject_cast<const QGroupBox*>(&control)) {
    // The title and the frame's indent on both sides.
    const QFontMetrics fm(g->font());
    return QSize(fm.horizontalAdvance(g->title()) + 2 * fm.averageCharWidth(), fm.height());
  }
  if (auto* l = qobject_cast<const QLabel*>(&control); l && l->wordWrap())
    return QSize(control.width(), l->heightForWidth(control.width()));
  // A push button's text needs its width and the frame's padding (the
  // style's preferred minimum width is no need of the text).
  if (auto* b = qobject_cast<const QPushButton*>(&control)) {
    const QFontMetrics fm(b->font());
    return QSize(fm.horizontalAdvance(b->text()) + 2 * fm.averageCharWidth() + 4, fm.height());
  }
  // A button's height is its frame's or indicator's; its text needs a line.
  if (qobject_cast<const QAbstractButton*>(&control))
    return QSize(control.sizeHint().width(), QFontMetrics(control.font()).height());
  return control.sizeHint();
}

// Whether r would cover a sibling's place that w itself does not cover yet
// (group boxes hold controls by design, pictures have no text to cover).
bool coversAnother(const QWidget& dialog, const QWidget& w, const QRect& r) {
  for (QWidget* other : controlsOf(dialog)) {
    if (other == &w || qobject_cast<const QGroupBox*>(other)) continue;
    if (r.intersects(other->geometry()) && !w.geometry().intersects(other->geometry())) return true;
  }
  return false;
}

void growToFitCaptions(QWidget& dialog) {
  const int dialogRight = dialog.width() - kEdgeMargin;
  for (QWidget* w : controlsOf(dialog)) {
    const QSize room = textRoomOf(*w);
    if (room.isEmpty()) continue;
    QRect r = w->geometry();
    if (room.width() > r.width()) {
      if (rightAligned(*w)) r.setLeft(r.right() + 1 - room.width());
      else r.setWidth(room.width());
      if (r.right() > dialogRight) r.translate(std::max(dialogRight - r.right(), -r.left()), 0);
      if (r.left() < 0) r.translate(-r.left(), 0);
      // A label before its field grows the other way where that is free.
      QRect leftwards = w->geometry();
      leftwards.setLeft(leftwards.right() + 1 - room.width());
      if (!rightAligned(*w) && coversAnother(dialog, *w, r) && leftwards.left() >= 0 &&
          !coversAnother(dialog, *w, leftwards))
        r = leftwards;
    }
    if (room.height() > r.height()) {
      // Several lines: grow downwards around the same centre line.
      const int extra = room.height() - r.height();
      r.setTop(std::max(0, r.top() - extra / 2));
      r.setHeight(room.height());
    }
    w->setGeometry(r);
  }
  QRect all(0, 0, dialog.width(), dialog.height());
  for (QWidget* w : controlsOf(dialog)) all |= w->geometry();
  if (all.size() != dialog.size()) {
    if (qobject_cast<QDialog*>(&dialog) && dialog.minimumSize() == dialog.maximumSize()) dialog.setFixedSize(all.size());
    else {
      dialog.setMinimumSize(all.size().expandedTo(dialog.minimumSize()));
      dialog.resize(all.size());
    }
  }
}

QStringList captionsThatDoNotFit(const QWidget& dialog) {
  QStringList out;
  const QRect inside(0, 0, dialog.width(), dialog.height());
  for (QWidget* w : controlsOf(dialog)) {
    const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    const QString text = textOf(*w);
    if (!inside.contains(w->geometry())) out << name + ": outside the dialog: " + text;
    const QSize room = textRoomOf(*w);
    if (room.isEmpty()) continue;
    if (room.width() > w->width() || room.height() > w->height())
      out << QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                 .arg(name, text)
                 .arg(room.width())
                 .arg(room.height())
                 .arg(w->width())
                 .arg(w->height());
    // A text another control covers is not read whole either (group boxes
    // hold controls by design).
    if (qobject_cast<const QGroupBox*>(w)) continue;
    for (QWidget* other : controlsOf(dialog)) {
      if (other == w || qobject_cast<const QGroupBox*>(other)) continue;
      if (qobject_cast<const QLabel*>(other) && textOf(*other).isEmpty()) continue;  // a picture
      if (w->geometry().intersects(other->geometry()))
        out << name + ": \"" + text + "\" overlaps " +
                   (other->objectName().isEmpty() ? QString::fromLatin1(other->metaObject()->className())
                                                  : other->objectName());
    }
  }
  return out;
}

}  // namespace lw
