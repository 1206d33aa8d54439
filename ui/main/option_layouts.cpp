#include "ui/main/option_layouts.h"

#include <initializer_list>

namespace lw {

namespace {

// The byte a box names, or nullptr when the index lies outside the buffer.
uint8_t* boxByte(OptionBuffer& bytes, const OptionBoxState& box) {
  return box.byteIndex < bytes.size() ? &bytes[box.byteIndex] : nullptr;
}
const uint8_t* boxByte(const OptionBuffer& bytes, const OptionBoxState& box) {
  return box.byteIndex < bytes.size() ? &bytes[box.byteIndex] : nullptr;
}

uint8_t mask8(const OptionBoxState& box) { return static_cast<uint8_t>(box.mask); }

void setBits(OptionBuffer& bytes, const OptionBoxState& box, bool set) {
  if (uint8_t* b = boxByte(bytes, box)) {
    *b = set ? static_cast<uint8_t>(*b | mask8(box)) : static_cast<uint8_t>(*b & ~mask8(box));
  }
}

// Whether the box's mask bits are all clear; nullopt when out of range.
bool maskClear(const OptionBuffer& bytes, const OptionBoxState& box, bool whenOutOfRange) {
  const uint8_t* b = boxByte(bytes, box);
  return b ? (*b & mask8(box)) == 0 : whenOutOfRange;
}

void setBytes(OptionBuffer& bytes, std::initializer_list<int> indexes, uint8_t value) {
  for (int i : indexes) bytes[static_cast<std::size_t>(i)] = value;
}

bool allFF(const OptionBuffer& bytes, std::initializer_list<int> indexes) {
  for (int i : indexes) {
    if (bytes[static_cast<std::size_t>(i)] != 0xFF) return false;
  }
  return true;
}

// Layout A: a read-protection pattern, two mode bytes, a lock pattern and
// three plain bits.
void readA(const OptionBoxStates& boxes, OptionBuffer& bytes) {
  for (int k = 0; k <= 6; ++k) {
    const OptionBoxState& box = boxes[static_cast<std::size_t>(k)];
    if (!box.enabled) continue;
    const bool on = box.checked;
    switch (k) {
      case 0:
        bytes[16] = on ? 0x83 : 0x0C;
        bytes[20] = on ? 0x7C : 0xF3;
        bytes[24] = on ? 0x00 : 0xA5;
        bytes[25] = on ? 0xFF : 0x5A;
        setBytes(bytes, {0, 1, 32, 33}, on ? 0x55 : 0x00);
        break;
      case 1:
      case 2:
        if (uint8_t* b = boxByte(bytes, box)) *b = on ? 0x03 : 0x0C;
        break;
      case 3:
        setBytes(bytes, {48, 49, 50, 51}, on ? 0x00 : 0xFF);
        setBytes(bytes, {60, 61, 62, 63}, on ? 0xFF : 0x00);
        break;
      default:
        setBits(bytes, box, on);
        break;
    }
  }
  bytes[124] = static_cast<uint8_t>(~bytes[112]);
}

void showA(OptionBoxStates& boxes, const OptionBuffer& bytes) {
  for (int k = 0; k <= 6; ++k) {
    OptionBoxState& box = boxes[static_cast<std::size_t>(k)];
    if (!box.enabled) continue;
    switch (k) {
      case 0:
        box.checked = (bytes[16] & 0x0F) != 0x0C || bytes[0] != 0 || bytes[1] != 0 || bytes[32] != 0 ||
                      bytes[33] != 0;
        break;
      case 1:
      case 2:
        if (const uint8_t* b = boxByte(bytes, box)) box.checked = (*b & mask8(box)) != 0x0C;
        break;
      case 3:
        box.checked = !(allFF(bytes, {48, 49, 50}) || bytes[51] == 0xFF);
        break;
      default:
        if (boxByte(bytes, box)) box.checked = !maskClear(bytes, box, true);
        break;
    }
  }
}

// Layout B: a protection pair, a lock pattern, one bit set by checking and
// two bits cleared by checking.
void readB(const OptionBoxStates& boxes, OptionBuffer& bytes) {
  for (int k = 0; k <= 4; ++k) {
    const OptionBoxState& box = boxes[static_cast<std::size_t>(k)];
    if (!box.enabled) continue;
    const bool on = box.checked;
    switch (k) {
      case 0:
        bytes[0] = on ? 0xFF : 0xA5;
        bytes[1] = on ? 0xFF : 0x5A;
        break;
      case 1:
        setBytes(bytes, {8, 10, 12, 14}, on ? 0x00 : 0xFF);
        setBytes(bytes, {9, 11, 13, 15}, on ? 0xFF : 0x00);
        break;
      case 2:
        setBits(bytes, box, on);
        break;
      default:
        setBits(bytes, box, !on);
        break;
    }
  }
  bytes[3] = static_cast<uint8_t>(~bytes[2]);
}

void showB(OptionBoxStates& boxes, const OptionBuffer& bytes) {
  for (int k = 0; k <= 4; ++k) {
    OptionBoxState& box = boxes[static_cast<std::size_t>(k)];
    if (!box.enabled) continue;
    switch (k) {
      case 0:
        box.checked = (bytes[0] & bytes[1]) != 0;
        break;
      case 1:
        box.checked = !(allFF(bytes, {8, 10, 12}) || bytes[14] == 0xFF);
        break;
      case 2:
        if (boxByte(bytes, box)) box.checked = !maskClear(bytes, box, true);
        break;
      default:
        if (boxByte(bytes, box)) box.checked = maskClear(bytes, box, false);
        break;
    }
  }
}

// Layout C: a checked box stands for its mask bits programmed to 0.
void readC(const OptionBoxStates& boxes, OptionBuffer& bytes) {
  for (const OptionBoxState& box : boxes) {
    if (box.enabled) setBits(bytes, box, !box.checked);
  }
}

void showC(OptionBoxStates& boxes, const OptionBuffer& bytes) {
  for (OptionBoxState& box : boxes) box.checked = box.enabled && maskClear(bytes, box, false);
}

}  // namespace

OptionLayout optionLayoutFor(uint16_t partIndex) {
  switch (partIndex) {
    case 43: case 44: case 58: case 59: return OptionLayout::C;
    case 36: case 37: case 38: case 39: return OptionLayout::A;
    case 42: case 45: return OptionLayout::B;
    default: return OptionLayout::None;
  }
}

bool hasIwdgCounter(uint16_t partIndex) { return optionLayoutFor(partIndex) == OptionLayout::C; }

void showOptionLayout(OptionLayout layout, OptionBoxStates& boxes, const OptionBuffer& bytes) {
  switch (layout) {
    case OptionLayout::A: showA(boxes, bytes); break;
    case OptionLayout::B: showB(boxes, bytes); break;
    case OptionLayout::C: showC(boxes, bytes); break;
    case OptionLayout::None: break;
  }
}

void readOptionLayout(OptionLayout layout, const OptionBoxStates& boxes, OptionBuffer& bytes) {
  switch (layout) {
    case OptionLayout::A: readA(boxes, bytes); break;
    case OptionLayout::B: readB(boxes, bytes); break;
    case OptionLayout::C: readC(boxes, bytes); break;
    case OptionLayout::None: break;
  }
}

uint32_t iwdgCounter(const OptionBuffer& bytes) {
  const uint32_t value = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
  return value & kIwdgCounterMask;
}

void setIwdgCounter(OptionBuffer& bytes, uint32_t counter) {
  const uint32_t old = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
  const uint32_t value = (counter & kIwdgCounterMask) | (old & ~kIwdgCounterMask);
  for (int i = 0; i < 4; ++i) bytes[4 + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace lw
