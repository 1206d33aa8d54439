#pragma once
// A dialog kept in memory: every id exists, texts, check marks and enabled
// states are stored, and the end result is recorded.
#include <map>
#include <string>
#include <vector>

#include "platform/ports/dialog_port.h"

namespace lw::test {

class FakeDialog final : public DialogPort {
 public:
  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
  };

  bool hasControl(int) const override { return true; }
  void setText(int id, const std::string& text) override { controls[id].text = text; }
  std::string text(int id) const override { return get(id).text; }
  void setTextLimit(int, int) override {}
  void setChecked(int id, bool checked) override { controls[id].checked = checked; }
  bool isChecked(int id) const override { return get(id).checked; }
  void setEnabled(int id, bool enabled) override { controls[id].enabled = enabled; }
  bool isEnabled(int id) const override { return get(id).enabled; }
  void setVisible(int id, bool visible) override { controls[id].visible = visible; }
  bool isVisible(int id) const override { return get(id).visible; }
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
  void setTitle(const std::string& t) override { title_ = t; }
  std::string title() const override { return title_; }
  void repaint() override {}
  void endDialog(int result) override { endResult = result; }

  std::map<int, Control> controls;
  int endResult = 0;

 private:
  Control get(int id) const {
    const auto it = controls.find(id);
    return it == controls.end() ? Control{} : it->second;
  }
  std::string title_;
};

}  // namespace lw::test
