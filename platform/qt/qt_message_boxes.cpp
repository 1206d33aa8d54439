#include "platform/qt/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "core/codes.h"

namespace lw {

namespace {
// A box closed without a button: its cancel answer, else No, else its OK.
int closedAnswer(unsigned style) {
  switch (style & mb::kButtonMask) {
    case mb::kOkCancel:
    case mb::kYesNoCancel: return kIdCancel;
    case mb::kYesNo: return kIdNo;
    default: return kIdOk;
  }
}
}  // namespace

void QtMessageBoxes::setMainWindow(QDialog* window) {
  QObject::disconnect(finishedConnection_);
  mainWindow_ = window;
  mainWindowEnded_ = false;
  if (window) finishedConnection_ = QObject::connect(window, &QDialog::finished, [this] { mainWindowEnded_ = true; });
}

int QtMessageBoxes::show(const std::string& text, const std::string& caption, unsigned style, BoxOwner owner) {
  if (owner == BoxOwner::MainWindow && mainWindowEnded_) return closedAnswer(style);
  QMessageBox box(owner == BoxOwner::MainWindow ? mainWindow_ : nullptr);
  box.setText(QString::fromStdString(text));
  box.setWindowTitle(QString::fromStdString(caption));
  switch (style & mb::kIconMask) {
    case mb::kIconError: box.setIcon(QMessageBox::Critical); break;
    case mb::kIconQuestion: box.setIcon(QMessageBox::Question); break;
    case mb::kIconWarning: box.setIcon(QMessageBox::Warning); break;
    case mb::kIconInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  QList<std::pair<QMessageBox::StandardButton, int>> buttons;
  switch (style & mb::kButtonMask) {
    case mb::kOkCancel: buttons = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}}; break;
    case mb::kYesNoCancel:
      buttons = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
      break;
    case mb::kYesNo: buttons = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}}; break;
    default: buttons = {{QMessageBox::Ok, kIdOk}}; break;
  }
  QMessageBox::StandardButtons set;
  for (const auto& b : buttons) set |= b.first;
  box.setStandardButtons(set);
  const int defaultIndex = (style & mb::kDefaultButton2) && buttons.size() > 1 ? 1 : 0;
  box.setDefaultButton(buttons[defaultIndex].first);
  const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
  for (const auto& b : buttons) {
    if (b.first == clicked) return b.second;
  }
  return closedAnswer(style);
}

void QtMessageBoxes::beep(unsigned) { QApplication::beep(); }

}  // namespace lw
