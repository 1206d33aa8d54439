#pragma once
// The main window's controls with a lock over them. While an operation that
// talks to the adapter runs, every control that would start a dialog or
// change the job is disabled; when the last running operation ends, each
// comes back as the logic last asked for it. Enabling or disabling such a
// control while locked only records the wish, and isEnabled answers with
// it, so the logic behaves exactly as it does without the lock (a button
// the adapter check disables for good stays disabled afterwards).
#include <map>

#include "core/ports/dialog_port.h"

namespace lw {

class LockableControls final : public DialogPort {
 public:
  explicit LockableControls(DialogPort& controls) : inner_(controls) {}

  // Counted: an operation may run inside another (a firmware update's end
  // inside Update Target's adapter check).
  void lock();
  void unlock();
  bool locked() const { return depth_ > 0; }
  // Whether the lock covers the control.
  static bool lockable(int id);

  bool hasControl(int id) const override { return inner_.hasControl(id); }
  void setText(int id, const std::string& text) override { inner_.setText(id, text); }
  std::string text(int id) const override { return inner_.text(id); }
  void setTextLimit(int id, int maxChars) override { inner_.setTextLimit(id, maxChars); }
  void setChecked(int id, bool checked) override { inner_.setChecked(id, checked); }
  bool isChecked(int id) const override { return inner_.isChecked(id); }
  void setEnabled(int id, bool enabled) override;
  bool isEnabled(int id) const override;
  void setVisible(int id, bool visible) override { inner_.setVisible(id, visible); }
  bool isVisible(int id) const override { return inner_.isVisible(id); }
  void comboClear(int id) override { inner_.comboClear(id); }
  int comboAdd(int id, const std::string& text, uint32_t data) override { return inner_.comboAdd(id, text, data); }
  int comboCount(int id) const override { return inner_.comboCount(id); }
  std::string comboText(int id, int index) const override { return inner_.comboText(id, index); }
  uint32_t comboData(int id, int index) const override { return inner_.comboData(id, index); }
  void comboSelect(int id, int index) override { inner_.comboSelect(id, index); }
  int comboSelection(int id) const override { return inner_.comboSelection(id); }
  void setDefaultButton(int id) override { inner_.setDefaultButton(id); }
  void setFocus(int id) override { inner_.setFocus(id); }
  void setTooltip(int id, const std::string& text) override { inner_.setTooltip(id, text); }
  void setTitle(const std::string& title) override { inner_.setTitle(title); }
  std::string title() const override { return inner_.title(); }
  void repaint() override { inner_.repaint(); }
  void paintNow(int id) override { inner_.paintNow(id); }
  void endDialog(int result) override { inner_.endDialog(result); }

 private:
  DialogPort& inner_;
  int depth_ = 0;
  std::map<int, bool> wanted_;  // while locked: the enabled state the logic asked for
};

}  // namespace lw
