#include "platform/qt/qt_control_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lw {

QtControlDialog::QtControlDialog(QWidget* parent, int sizeX, int sizeY) : QDialog(parent) {
  setModal(true);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setFont(QFont("Tahoma", 9));
  // Dialog units: a quarter of the average character width, an eighth of
  // the character height.
  const QFontMetrics metrics(font());
  const int alphabet = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = std::max(1, (alphabet / 26 + 1) / 2);
  baseY_ = std::max(1, metrics.height());
  const QRect size = dialogUnitsToPixels(0, 0, sizeX, sizeY);
  setFixedSize(size.width(), size.height());
}

QRect QtControlDialog::dialogUnitsToPixels(int x, int y, int cx, int cy) const {
  return QRect(x * baseX_ / 4, y * baseY_ / 8, cx * baseX_ / 4, cy * baseY_ / 8);
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
