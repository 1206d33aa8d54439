#pragma once
// A dialog with text-only controls, enough for the hex entry helpers.
#include <map>

#include "platform/ports/dialog_port.h"

namespace lw::test {

class StubDialog final : public DialogPort {
 public:
  bool hasControl(int) const override { return true; }
  void setText(int id, const std::string& text) override { texts[id] = text; }
  std::string text(int id) const override {
    const auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
  }
  void setTextLimit(int, int) override {}
  void setChecked(int, bool) override {}
  bool isChecked(int) const override { return false; }
  void setEnabled(int, bool) override {}
  bool isEnabled(int) const override { return true; }
  void setVisible(int, bool) override {}
  bool isVisible(int) const override { return true; }
  void comboClear(int) override {}
  int comboAdd(int, const std::string&, uint32_t) override { return -1; }
  int comboCount(int) const override { return 0; }
  std::string comboText(int, int) const override { return {}; }
  uint32_t comboData(int, int) const override { return 0; }
  void comboSelect(int, int) override {}
  int comboSelection(int) const override { return -1; }
  void setDefaultButton(int) override {}
  void setFocus(int) override {}
  void setTooltip(int, const std::string&) override {}
  void setTitle(const std::string&) override {}
  std::string title() const override { return {}; }
  void repaint() override {}
  void endDialog(int) override {}

  std::map<int, std::string> texts;
};

}  // namespace lw::test
