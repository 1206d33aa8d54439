#include "platform/qt/qt_dialog_controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace lw {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string ss(const QString& s) { return s.toStdString(); }
}  // namespace

void QtDialogControls::registerControl(int id, QWidget* widget, bool sortedCombo) {
  controls_.insert(id, widget);
  if (sortedCombo) sorted_.insert(id);
}

bool QtDialogControls::hasControl(int id) const { return widget(id) != nullptr; }

void QtDialogControls::setText(int id, const std::string& text) {
  QWidget* w = widget(id);
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(qs(text));
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(qs(text));
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(qs(text));
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(qs(text));
  } else if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable()) {
    c->setEditText(qs(text));
  }
}

std::string QtDialogControls::text(int id) const {
  QWidget* w = widget(id);
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return ss(b->text());
  if (auto* g = qobject_cast<QGroupBox*>(w)) return ss(g->title());
  if (auto* l = qobject_cast<QLabel*>(w)) return ss(l->text());
  if (auto* e = qobject_cast<QLineEdit*>(w)) return ss(e->text());
  if (auto* c = qobject_cast<QComboBox*>(w)) return ss(c->currentText());
  return {};
}

void QtDialogControls::setTextLimit(int id, int maxChars) {
  if (auto* e = qobject_cast<QLineEdit*>(widget(id))) e->setMaxLength(maxChars > 0 ? maxChars : 32767);
}

void QtDialogControls::setChecked(int id, bool checked) {
  if (auto* b = qobject_cast<QAbstractButton*>(widget(id))) b->setChecked(checked);
}

bool QtDialogControls::isChecked(int id) const {
  auto* b = qobject_cast<QAbstractButton*>(widget(id));
  return b && b->isChecked();
}

void QtDialogControls::setEnabled(int id, bool enabled) {
  if (QWidget* w = widget(id)) w->setEnabled(enabled);
}

bool QtDialogControls::isEnabled(int id) const {
  QWidget* w = widget(id);
  return w && w->isEnabled();
}

void QtDialogControls::setVisible(int id, bool visible) {
  if (QWidget* w = widget(id)) w->setVisible(visible);
}

bool QtDialogControls::isVisible(int id) const {
  QWidget* w = widget(id);
  return w && !w->isHidden();
}

void QtDialogControls::comboClear(int id) {
  if (auto* c = qobject_cast<QComboBox*>(widget(id))) {
    const QSignalBlocker block(c);
    c->clear();
  }
}

int QtDialogControls::comboAdd(int id, const std::string& text, uint32_t data) {
  auto* c = qobject_cast<QComboBox*>(widget(id));
  if (!c) return -1;
  const QString t = qs(text);
  int pos = c->count();
  if (sorted_.contains(id)) {
    pos = 0;
    while (pos < c->count() && QString::compare(c->itemText(pos), t, Qt::CaseInsensitive) <= 0) ++pos;
  }
  // Adding an entry selects nothing new: a combo box selects only when told.
  const QSignalBlocker block(c);
  const int previous = c->currentIndex();
  c->insertItem(pos, t, QVariant::fromValue<uint>(data));
  c->setCurrentIndex(previous >= pos ? previous + 1 : previous);
  return pos;
}

int QtDialogControls::comboCount(int id) const {
  auto* c = qobject_cast<QComboBox*>(widget(id));
  return c ? c->count() : 0;
}

std::string QtDialogControls::comboText(int id, int index) const {
  auto* c = qobject_cast<QComboBox*>(widget(id));
  return c && index >= 0 && index < c->count() ? ss(c->itemText(index)) : std::string();
}

uint32_t QtDialogControls::comboData(int id, int index) const {
  auto* c = qobject_cast<QComboBox*>(widget(id));
  return c && index >= 0 && index < c->count() ? c->itemData(index).toUInt() : 0;
}

void QtDialogControls::comboSelect(int id, int index) {
  if (auto* c = qobject_cast<QComboBox*>(widget(id))) {
    const QSignalBlocker block(c);
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
  }
}

int QtDialogControls::comboSelection(int id) const {
  auto* c = qobject_cast<QComboBox*>(widget(id));
  return c ? c->currentIndex() : -1;
}

void QtDialogControls::setDefaultButton(int id) {
  for (auto it = controls_.cbegin(); it != controls_.cend(); ++it) {
    if (auto* b = qobject_cast<QPushButton*>(it.value().data())) b->setDefault(it.key() == id);
  }
}

void QtDialogControls::setFocus(int id) {
  if (QWidget* w = widget(id)) w->setFocus(Qt::OtherFocusReason);
}

void QtDialogControls::setTooltip(int id, const std::string& text) {
  if (QWidget* w = widget(id)) w->setToolTip(qs(text));
}

void QtDialogControls::setTitle(const std::string& title) { dialog_->setWindowTitle(qs(title)); }

std::string QtDialogControls::title() const { return ss(dialog_->windowTitle()); }

void QtDialogControls::repaint() { dialog_->update(); }

void QtDialogControls::paintNow(int id) {
  if (QWidget* w = widget(id); w && w->isVisible()) w->repaint();
}

void QtDialogControls::endDialog(int result) { dialog_->done(result); }

}  // namespace lw
