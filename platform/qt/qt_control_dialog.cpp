#include "platform/qt/qt_control_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/caption_fit.h"
#include "platform/qt/qt_language.h"

namespace lw {

// The templates' face; where it is missing fontconfig picks a stand-in, and
// the dialog units follow whatever face that is.
QtControlDialog::QtControlDialog(QWidget* parent, int sizeX, int sizeY)
    : QDialog(parent), units_(dialogFont()) {
  setModal(true);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setFont(dialogFont());
  const QRect size = dialogUnitsToPixels(0, 0, sizeX, sizeY);
  setFixedSize(size.width(), size.height());
}

QRect QtControlDialog::dialogUnitsToPixels(int x, int y, int cx, int cy) const {
  return units_.toPixels(x, y, cx, cy);
}

void QtControlDialog::showEvent(QShowEvent* event) {
  growToFitCaptions(*this);
  QDialog::showEvent(event);
}

bool QtControlDialog::event(QEvent* event) {
  if (event->type() == QEvent::LayoutRequest) growToFitCaptions(*this);
  return QDialog::event(event);
}

void QtControlDialog::addControl(int id, QWidget* control, int x, int y, int cx, int cy) {
  addStatic(control, x, y, cx, cy);
  controls_.registerControl(id, control);
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    QObject::connect(button, &QAbstractButton::clicked, this, [this, id] { command(id); });
  }
}

void QtControlDialog::addStatic(QWidget* control, int x, int y, int cx, int cy) {
  control->setParent(this);
  control->setGeometry(dialogUnitsToPixels(x, y, cx, cy));
}

QWidget* QtControlDialog::control(int id) const { return controls_.widget(id); }

void QtControlDialog::command(int id) {
  if (handler_) handler_(id);
}

void QtControlDialog::reject() { handler_ ? command(2) : QDialog::reject(); }
void QtControlDialog::accept() { handler_ ? command(1) : QDialog::accept(); }

}  // namespace lw
