#include "platform/qt/hex_entry_line_edit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include "resources/hex_entry.h"

namespace lw {

HexEntryLineEdit::HexEntryLineEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]*"), this));
}

void HexEntryLineEdit::keyPressEvent(QKeyEvent* event) {
  // Printable characters pass only when the filter accepts them; editing
  // keys and shortcuts (which carry control characters) keep working.
  for (const QChar c : event->text()) {
    if (c.unicode() >= 0x20 && c.unicode() != 0x7F && !hexEntryAccepts(c.unicode())) {
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace lw
