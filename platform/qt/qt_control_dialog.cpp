#include "platform/qt/qt_control_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lw {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

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
  controls_[id] = control;
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    QObject::connect(button, &QAbstractButton::clicked, this, [this, id] { command(id); });
  }
}

void QtControlDialog::addStatic(QWidget* control, int x, int y, int cx, int cy) {
  control->setParent(this);
  control->setGeometry(dialogUnitsToPixels(x, y, cx, cy));
}

QWidget* QtControlDialog::control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void QtControlDialog::command(int id) {
  if (handler_) handler_(id);
}

void QtControlDialog::reject() { handler_ ? command(2) : QDialog::reject(); }
void QtControlDialog::accept() { handler_ ? command(1) : QDialog::accept(); }

bool QtControlDialog::hasControl(int id) const { return control(id) != nullptr; }

void QtControlDialog::setText(int id, const std::string& text) {
  QWidget* w = control(id);
  if (auto* label = qobject_cast<QLabel*>(w)) label->setText(q(text));
  else if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(q(text));
  else if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(q(text));
  else if (auto* combo = qobject_cast<QComboBox*>(w)) combo->setEditText(q(text));
}

std::string QtControlDialog::text(int id) const {
  QWidget* w = control(id);
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
  return {};
}

void QtControlDialog::setTextLimit(int id, int maxChars) {
  if (auto* edit = qobject_cast<QLineEdit*>(control(id))) edit->setMaxLength(maxChars);
}

void QtControlDialog::setChecked(int id, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(control(id))) button->setChecked(checked);
}

bool QtControlDialog::isChecked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(control(id));
  return button && button->isChecked();
}

void QtControlDialog::setEnabled(int id, bool enabled) {
  if (QWidget* w = control(id)) w->setEnabled(enabled);
}

bool QtControlDialog::isEnabled(int id) const {
  QWidget* w = control(id);
  return w && w->isEnabled();
}

void QtControlDialog::setVisible(int id, bool visible) {
  if (QWidget* w = control(id)) w->setVisible(visible);
}

bool QtControlDialog::isVisible(int id) const {
  QWidget* w = control(id);
  return w && !w->isHidden();
}

void QtControlDialog::comboClear(int id) {
  if (auto* combo = qobject_cast<QComboBox*>(control(id))) combo->clear();
}

int QtControlDialog::comboAdd(int id, const std::string& text, uint32_t data) {
  auto* combo = qobject_cast<QComboBox*>(control(id));
  if (!combo) return -1;
  combo->addItem(q(text), QVariant::fromValue(data));
  return combo->count() - 1;
}

int QtControlDialog::comboCount(int id) const {
  auto* combo = qobject_cast<QComboBox*>(control(id));
  return combo ? combo->count() : 0;
}

std::string QtControlDialog::comboText(int id, int index) const {
  auto* combo = qobject_cast<QComboBox*>(control(id));
  return combo ? combo->itemText(index).toStdString() : std::string();
}

uint32_t QtControlDialog::comboData(int id, int index) const {
  auto* combo = qobject_cast<QComboBox*>(control(id));
  return combo ? combo->itemData(index).value<uint32_t>() : 0;
}

void QtControlDialog::comboSelect(int id, int index) {
  if (auto* combo = qobject_cast<QComboBox*>(control(id))) combo->setCurrentIndex(index);
}

int QtControlDialog::comboSelection(int id) const {
  auto* combo = qobject_cast<QComboBox*>(control(id));
  return combo ? combo->currentIndex() : -1;
}

void QtControlDialog::setDefaultButton(int id) {
  for (const auto& [controlId, w] : controls_) {
    if (auto* button = qobject_cast<QPushButton*>(w)) button->setDefault(controlId == id);
  }
}

void QtControlDialog::setFocus(int id) {
  if (QWidget* w = control(id)) w->setFocus();
}

void QtControlDialog::setTooltip(int id, const std::string& text) {
  if (QWidget* w = control(id)) w->setToolTip(q(text));
}

void QtControlDialog::setTitle(const std::string& title) { setWindowTitle(q(title)); }
std::string QtControlDialog::title() const { return windowTitle().toStdString(); }
void QtControlDialog::repaint() { update(); }
void QtControlDialog::endDialog(int result) { done(result); }

}  // namespace lw
