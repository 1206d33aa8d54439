#pragma once
// The hex entry field's filter: typed or pasted characters other than
// hexadecimal digits are dropped, and letters become upper case.
#include <QValidator>

namespace lw {

class HexEntryValidator final : public QValidator {
  Q_OBJECT

 public:
  explicit HexEntryValidator(QObject* parent = nullptr) : QValidator(parent) {}
  State validate(QString& input, int& pos) const override;
};

}  // namespace lw
