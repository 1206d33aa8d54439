#pragma once
// A modal Qt dialog laid out in dialog units like the program's dialog
// templates, whose controls its logic reaches by id through controls(). Clicks on
// its buttons go to a command handler as the button's id; Escape and the
// close button arrive as command 2, like Cancel.
#include <QDialog>
#include <functional>

#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_dialog_controls.h"

namespace lw {

class QtControlDialog : public QDialog {
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

  // The controls by id, for the dialog's logic.
  DialogPort& controls() { return controls_; }

  // Escape, the close button and Enter go through the command handler.
  void reject() override;
  void accept() override;

 protected:
  // Texts that the stand-in font makes wider than their place get it before
  // the dialog is first shown.
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QRect dialogUnitsToPixels(int x, int y, int cx, int cy) const;
  void command(int id);

  QtDialogControls controls_{this};
  std::function<void(int)> handler_;
  DialogUnits units_;
};

}  // namespace lw
