#pragma once
// DialogPort over Qt widgets registered by control id. Any Qt dialog can
// use it: register each control's widget under its id, and the dialog
// logic drives labels, buttons, check boxes, edits and combo boxes alike.
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include "core/ports/dialog_port.h"

class QDialog;

namespace lw {

class QtDialogControls final : public DialogPort {
 public:
  explicit QtDialogControls(QDialog* dialog) : dialog_(dialog) {}

  // A sorted combo box keeps its entries in text order (ignoring case).
  void registerControl(int id, QWidget* widget, bool sortedCombo = false);
  QWidget* widget(int id) const { return controls_.value(id, nullptr); }

  bool hasControl(int id) const override;
  void setText(int id, const std::string& text) override;
  std::string text(int id) const override;
  void setTextLimit(int id, int maxChars) override;
  void setChecked(int id, bool checked) override;
  bool isChecked(int id) const override;
  void setEnabled(int id, bool enabled) override;
  bool isEnabled(int id) const override;
  void setVisible(int id, bool visible) override;
  bool isVisible(int id) const override;
  void comboClear(int id) override;
  int comboAdd(int id, const std::string& text, uint32_t data) override;
  int comboCount(int id) const override;
  std::string comboText(int id, int index) const override;
  uint32_t comboData(int id, int index) const override;
  void comboSelect(int id, int index) override;
  int comboSelection(int id) const override;
  void setDefaultButton(int id) override;
  void setFocus(int id) override;
  void setTooltip(int id, const std::string& text) override;
  void setTitle(const std::string& title) override;
  std::string title() const override;
  void repaint() override;
  void paintNow(int id) override;
  void endDialog(int result) override;

 private:
  QDialog* dialog_;
  QHash<int, QPointer<QWidget>> controls_;
  QSet<int> sorted_;
};

}  // namespace lw
