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
    if (!model_.writable(caret_)) return false;
    const uint8_t old = caret_ < model_.size() ? model_.at(caret_) : 0xFF;  // appended bytes start erased
    const auto nibble = static_cast<uint8_t>(digit);
    const uint8_t value = lowNibble_ ? static_cast<uint8_t>((old & 0xF0) | nibble)
                                     : static_cast<uint8_t>((old & 0x0F) | (nibble << 4));
    if (!applyEdit(caret_, {value})) return false;
    anchor_.reset();
    if (lowNibble_) {
      moveTo(caret_ + 1, false, false);
    } else {
      lowNibble_ = true;
    }
    return true;
  }
  if (c < 0x20 || c >= 0x7F) return false;
  if (!applyEdit(caret_, {static_cast<uint8_t>(c)})) return false;
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

bool HexEditor::applyEdit(std::size_t offset, std::vector<uint8_t> bytes) {
  forgetOutdatedHistory();
  Edit e;
  e.offset = offset;
  e.before = model_.range(offset, bytes.size());
  e.sizeBefore = model_.size();
  const std::size_t n = model_.writeBytes(offset, bytes);
  if (n == 0) return false;
  bytes.resize(n);
  e.after = std::move(bytes);
  undo_.push_back(std::move(e));
  redo_.clear();
  return true;
}

void HexEditor::forgetOutdatedHistory() const {
  if (historyGeneration_ == model_.generation()) return;
  undo_.clear();
  redo_.clear();
  historyGeneration_ = model_.generation();
}

bool HexEditor::canUndo() const {
  forgetOutdatedHistory();
  return !undo_.empty();
}

bool HexEditor::canRedo() const {
  forgetOutdatedHistory();
  return !redo_.empty();
}

bool HexEditor::undo() {
  if (!canUndo()) return false;
  Edit e = std::move(undo_.back());
  undo_.pop_back();
  model_.truncate(e.sizeBefore);
  if (!e.before.empty()) model_.writeBytes(e.offset, e.before);
  anchor_.reset();
  moveTo(e.offset, false, false);
  redo_.push_back(std::move(e));
  return true;
}

bool HexEditor::redo() {
  if (!canRedo()) return false;
  Edit e = std::move(redo_.back());
  redo_.pop_back();
  model_.writeBytes(e.offset, e.after);
  anchor_.reset();
  moveTo(e.offset + e.after.size(), false, false);
  undo_.push_back(std::move(e));
  return true;
}

bool HexEditor::paste(const std::vector<uint8_t>& bytes) {
  const std::size_t at = hasSelection() ? selectionBegin() : caret_;
  if (bytes.empty() || !model_.writable(at)) return false;
  if (!applyEdit(at, bytes)) return false;
  anchor_.reset();
  moveTo(at + undo_.back().after.size(), false, false);
  return true;
}

std::optional<std::vector<uint8_t>> bytesFromHexText(std::string_view text) {
  std::vector<uint8_t> out;
  std::size_t i = 0;
  auto separator = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';' || c == ':'; };
  while (i < text.size()) {
    if (separator(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !separator(text[end])) ++end;
    std::string_view token = text.substr(i, end - i);
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) token.remove_prefix(2);
    if (token.size() % 2 != 0) return std::nullopt;
    for (std::size_t k = 0; k < token.size(); k += 2) {
      const int hi = hexDigitValue(static_cast<unsigned char>(token[k]));
      const int lo = hexDigitValue(static_cast<unsigned char>(token[k + 1]));
      if (hi < 0 || lo < 0) return std::nullopt;
      out.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    i = end;
  }
  if (out.empty()) return std::nullopt;
  return out;
}

std::vector<uint8_t> pasteBytesOf(std::string_view text, HexArea area) {
  if (area == HexArea::Hex)
    if (auto bytes = bytesFromHexText(text)) return *bytes;
  return {text.begin(), text.end()};
}

}  // namespace lw::hexedit
