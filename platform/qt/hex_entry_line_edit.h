#pragma once
// The hex entry field: an edit that takes only hexadecimal digits. Typed
// characters outside them are dropped; pasted text must be all digits.
#include <QLineEdit>

namespace lw {

class HexEntryLineEdit : public QLineEdit {
 public:
  explicit HexEntryLineEdit(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace lw
