#pragma once
// A modal Qt dialog whose controls are addressed by id through DialogPort,
// laid out in dialog units like the program's dialog templates. Clicks on
// its buttons go to a command handler as the button's id; Escape and the
// close button arrive as command 2, like Cancel.
#include <QDialog>
#include <functional>
#include <map>

#include "platform/ports/dialog_port.h"

namespace lw {

class QtControlDialog : public QDialog, public DialogPort {
 public:
  // sizeX and sizeY are the dialog's client size in dialog units.
  QtControlDialog(QWidget* parent, int sizeX, int sizeY);

  // Registers a control under its id and places it (dialog units). Buttons
  // report their clicks as commands.
  void addControl(int id, QWidget* control, int x, int y, int cx, int cy);
  // Places a control that has no id.
  void addStatic(QWidget* control, int x, int y, int cx, int cy);
  void setCommandHandler(std::function<void(int)> handler) { handler_ = std::move(handler); }
  QWidget* control(int id) const;

  // DialogPort
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
  void endDialog(int result) override;

  // Escape, the close button and Enter go through the command handler.
  void reject() override;
  void accept() override;

 private:
  QRect dialogUnitsToPixels(int x, int y, int cx, int cy) const;
  void command(int id);

  std::map<int, QWidget*> controls_;
  std::function<void(int)> handler_;
  int baseX_ = 6;
  int baseY_ = 13;
};

}  // namespace lw
