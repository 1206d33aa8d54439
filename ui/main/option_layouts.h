#pragma once
// How the twelve option check boxes map to the Option byte buffer. The
// mapping depends on the applied part: layout A, B or C, and for the
// layout C parts the IWDG counter in option bytes 4..7. Parts without a
// layout leave the boxes and the buffer unconnected.
#include <array>
#include <cstdint>

#include "core/part_record.h"
#include "resources/part_database.h"

namespace lw {

enum class OptionLayout { None, A, B, C };

OptionLayout optionLayoutFor(uint16_t partIndex);

// Whether the part shows its IWDG counter in the counter field.
bool hasIwdgCounter(uint16_t partIndex);

struct OptionBoxState {
  bool enabled = false;
  bool checked = false;
  uint32_t byteIndex = 0;  // into the Option byte buffer
  uint32_t mask = 0;       // low 8 bits used
};

using OptionBoxStates = std::array<OptionBoxState, kOptionBoxCount>;
using OptionBuffer = std::array<uint8_t, kOptionBufferSize>;

// Sets the check states from the buffer.
void showOptionLayout(OptionLayout layout, OptionBoxStates& boxes, const OptionBuffer& bytes);

// Sets the buffer from the check states. A box whose byte index lies
// outside the buffer is left out.
void readOptionLayout(OptionLayout layout, const OptionBoxStates& boxes, OptionBuffer& bytes);

inline constexpr uint32_t kIwdgCounterMask = 0xFFFFF;

// The low 20 bits of the little-endian value in option bytes 4..7.
uint32_t iwdgCounter(const OptionBuffer& bytes);

// Puts a counter into the low 20 bits of bytes 4..7; the upper 12 bits,
// which belong to other options, keep their value.
void setIwdgCounter(OptionBuffer& bytes, uint32_t counter);

}  // namespace lw
