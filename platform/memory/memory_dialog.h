#pragma once
// A dialog held in memory, for tests: controls are declared with their kind
// and then driven through DialogPort exactly as the Qt view would be.
// It also records what a view would show: default button, focus, tooltips,
// the end result.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/dialog_port.h"

namespace lw {

enum class MemoryControlKind { Static, Button, CheckBox, Radio, Edit, Combo, SortedCombo };

struct MemoryControl {
  MemoryControlKind kind = MemoryControlKind::Static;
  std::string text;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  int textLimit = 0;  // 0: none
  std::vector<std::pair<std::string, uint32_t>> entries;
  int selection = -1;
  std::string tooltip;
};

class MemoryDialog final : public DialogPort {
 public:
  MemoryControl& addControl(int id, MemoryControlKind kind, const std::string& text = "");
  MemoryControl* control(int id);
  const MemoryControl* control(int id) const;

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
  void setDefaultButton(int id) override { defaultButton = id; }
  void setFocus(int id) override { focus = id; }
  void setTooltip(int id, const std::string& text) override;
  void setTitle(const std::string& title) override { title_ = title; }
  std::string title() const override { return title_; }
  void repaint() override { ++repaints; }
  void paintNow(int id) override { painted.emplace_back(id, text(id)); }
  void endDialog(int result) override { endResult = result; }

  // Types into an edit as a user would: the text limit applies.
  void typeText(int id, const std::string& text);
  std::string tooltip(int id) const;

  int defaultButton = 0;
  int focus = 0;
  int repaints = 0;
  std::vector<std::pair<int, std::string>> painted;  // by paintNow: control and its text then
  std::optional<int> endResult;

 private:
  std::map<int, MemoryControl> controls_;
  std::string title_;
};

}  // namespace lw
