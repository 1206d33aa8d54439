#pragma once
// Caret, selection and typing of the hex view, without any drawing. The
// caret sits on a byte and, in the hex column, on its high or low nibble.
// Typing overwrites: a hex digit replaces the nibble under the caret, a
// character in the text column replaces the whole byte. The cell after the
// last byte accepts typing too while the model may still grow.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hexedit/byte_model.h"

namespace lw::hexedit {

enum class HexArea { Hex, Text };

class HexEditor {
 public:
  static constexpr std::size_t kBytesPerRow = 16;

  explicit HexEditor(ByteModel& model) : model_(model) {}

  std::size_t caret() const { return caret_; }
  bool onLowNibble() const { return lowNibble_; }
  HexArea area() const { return area_; }
  void setArea(HexArea area);

  // The furthest position the caret may take: the append cell when the
  // model can grow, else the last byte (0 when empty).
  std::size_t lastPosition() const;

  // Places the caret (clamped to lastPosition()). With extend, the
  // selection runs from the anchor to the new caret; without, it is dropped.
  void moveTo(std::size_t offset, bool lowNibble, bool extend);
  // Left/right: a nibble in the hex column, a byte in the text column.
  void stepLeft(bool extend);
  void stepRight(bool extend);
  // Moves by whole bytes (rows are kBytesPerRow bytes).
  void moveBy(long long bytes, bool extend);
  void moveToRowStart(bool extend);
  void moveToRowEnd(bool extend);
  // Keeps the caret in range after the content changed behind its back.
  void clampCaret();

  bool hasSelection() const;
  // The selection runs between the anchor and the caret: first selected
  // byte and one past the last.
  std::size_t selectionBegin() const;
  std::size_t selectionEnd() const;
  void selectAll();
  // Selects from anchor to caret (either order); used by mouse drags.
  void selectRange(std::size_t anchor, std::size_t caret);
  void clearSelection() { anchor_.reset(); }

  // Types one character at the caret. Returns true when a byte changed.
  bool type(char32_t c);

  // The selection as text of the active column: hex pairs or characters;
  // the byte under the caret when nothing is selected.
  std::string copyText() const;

  // Moves the caret to an address; false when it lies beyond the content.
  bool goTo(std::size_t address);

  // Writes the bytes over the selection (from its first byte) or at the
  // caret, growing the content no further than its size limit; the caret
  // goes after the last byte written. False when nothing could be written.
  bool paste(const std::vector<uint8_t>& bytes);

  // Every typed character and every paste is one step back and forth.
  // Replacing or clearing the whole content forgets the steps.
  bool canUndo() const;
  bool canRedo() const;
  bool undo();
  bool redo();

 private:
  struct Edit {
    std::size_t offset = 0;
    std::vector<uint8_t> before;  // the bytes the edit overwrote (fewer where it grew the content)
    std::vector<uint8_t> after;
    std::size_t sizeBefore = 0;
  };
  bool applyEdit(std::size_t offset, std::vector<uint8_t> bytes);
  void forgetOutdatedHistory() const;

  ByteModel& model_;
  mutable std::vector<Edit> undo_;
  mutable std::vector<Edit> redo_;
  mutable uint64_t historyGeneration_ = 0;
  std::size_t caret_ = 0;
  bool lowNibble_ = false;
  HexArea area_ = HexArea::Hex;
  std::optional<std::size_t> anchor_;
};

// The value of a hexadecimal digit, or -1.
int hexDigitValue(char32_t c);

// Hexadecimal text such as "00 20 FF", "0x00,0x20" or "0020FF" as bytes;
// nothing when the text is anything else.
std::optional<std::vector<uint8_t>> bytesFromHexText(std::string_view text);

// What pasting text puts into the view: in the hex column hexadecimal text
// as its bytes, any other text (and all text in the text column) as the
// bytes of its characters.
std::vector<uint8_t> pasteBytesOf(std::string_view text, HexArea area);

}  // namespace lw::hexedit
