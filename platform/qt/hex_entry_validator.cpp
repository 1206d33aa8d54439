#include "platform/qt/hex_entry_validator.h"

#include "resources/hex_entry.h"

namespace lw {

QValidator::State HexEntryValidator::validate(QString& input, int& pos) const {
  QString kept;
  int keptBeforeCursor = 0;
  for (int i = 0; i < input.size(); ++i) {
    const QChar c = input.at(i);
    // Backspace and code 12 pass as keys, never as characters of the text.
    if (c.unicode() < 0x20 || !hexEntryAccepts(c.unicode())) continue;
    kept += c.toUpper();
    if (i < pos) ++keptBeforeCursor;
  }
  input = kept;
  pos = keptBeforeCursor;
  return Acceptable;
}

}  // namespace lw
