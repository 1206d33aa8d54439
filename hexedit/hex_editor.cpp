#include "hexedit/hex_editor.h"

#include <algorithm>

namespace lw::hexedit {

int hexDigitValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

void HexEditor::setArea(HexArea area) {
  area_ = area;
  if (area_ == HexArea::Text) lowNibble_ = false;
}

std::size_t HexEditor::lastPosition() const {
  const std::size_t size = model_.size();
  if (model_.writable(size)) return size;
  return size == 0 ? 0 : size - 1;
}

void HexEditor::moveTo(std::size_t offset, bool lowNibble, bool extend) {
  if (extend) {
    if (!anchor_) anchor_ = caret_;
  } else {
    anchor_.reset();
  }
  caret_ = std::min(offset, lastPosition());
  lowNibble_ = area_ == HexArea::Hex && lowNibble && caret_ == offset;
}

void HexEditor::stepLeft(bool extend) {
  if (area_ == HexArea::Hex && lowNibble_ && !extend) {
    moveTo(caret_, false, false);
  } else if (caret_ > 0) {
    moveTo(caret_ - 1, area_ == HexArea::Hex && !extend, extend);
  } else {
    moveTo(0, false, extend);
  }
}

void HexEditor::stepRight(bool extend) {
  if (area_ == HexArea::Hex && !lowNibble_ && !extend && caret_ < model_.size()) {
    moveTo(caret_, true, false);
  } else {
    moveTo(caret_ + 1, false, extend);
  }
}

void HexEditor::moveBy(long long bytes, bool extend) {
  long long target = static_cast<long long>(caret_) + bytes;
  if (target < 0) target = bytes < -static_cast<long long>(kBytesPerRow) ? 0 : static_cast<long long>(caret_);
  moveTo(static_cast<std::size_t>(target), lowNibble_, extend);
}

void HexEditor::moveToRowStart(bool extend) { moveTo(caret_ - caret_ % kBytesPerRow, false, extend); }

void HexEditor::moveToRowEnd(bool extend) {
  moveTo(caret_ - caret_ % kBytesPerRow + kBytesPerRow - 1, false, extend);
}

void HexEditor::clampCaret() {
  if (caret_ > lastPosition()) {
    caret_ = lastPosition();
    lowNibble_ = false;
  }
  if (anchor_ && *anchor_ > lastPosition()) anchor_.reset();
}

bool HexEditor::hasSelection() const { return anchor_ && *anchor_ != caret_; }

std::size_t HexEditor::selectionBegin() const { return anchor_ ? std::min(*anchor_, caret_) : caret_; }

std::size_t HexEditor::selectionEnd() const { return anchor_ ? std::max(*anchor_, caret_) : caret_; }

void HexEditor::selectAll() {
  if (model_.empty()) return;
  anchor_ = 0;
  caret_ = model_.size();
  lowNibble_ = false;
}

void HexEditor::selectRange(std::size_t anchor, std::size_t caret) {
  const std::size_t end = std::max(model_.size(), lastPosition());
  anchor_ = std::min(anchor, end);
  caret_ = std::min(caret, end);
  lowNibble_ = false;
}

bool HexEditor::type(char32_t c) {
  if (area_ == HexArea::Hex) {
    const int digit = hexDigitValue(c);
    if (digit < 0) return false;
    if (!model_.writeNibble(caret_, !lowNibble_, static_cast<uint8_t>(digit))) return false;
    anchor_.reset();
    if (lowNibble_) {
      moveTo(caret_ + 1, false, false);
    } else {
      lowNibble_ = true;
    }
    return true;
  }
  if (c < 0x20 || c >= 0x7F) return false;
  if (!model_.writeByte(caret_, static_cast<uint8_t>(c))) return false;
  anchor_.reset();
  moveTo(caret_ + 1, false, false);
  return true;
}

std::string HexEditor::copyText() const {
  const std::size_t begin = hasSelection() ? selectionBegin() : caret_;
  const std::size_t count = hasSelection() ? selectionEnd() - begin : 1;
  const std::vector<uint8_t> bytes = model_.range(begin, count);
  return area_ == HexArea::Hex ? hexText(bytes) : asciiText(bytes);
}

bool HexEditor::goTo(std::size_t address) {
  if (address > lastPosition() || (address == model_.size() && !model_.writable(address))) return false;
  moveTo(address, false, false);
  return true;
}

}  // namespace lw::hexedit
