#pragma once
// Hexadecimal entry helpers shared by the dialogs: hexadecimal numbers as
// text, and the character filter of the hex entry field.
#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

// The text scanned like "%X": leading white space skipped, an optional
// "0x" prefix, digits up to the first non-digit. 0 when there is none;
// 0xFFFFFFFF when the digits run past 32 bits.
uint32_t hexRead(std::string_view text);

// Width 0 formats with "%X"; another width zero-pads to at least that many
// digits ("%0<width>X").
std::string hexFormat(uint32_t value, int width);

// Whether the hex entry field passes a typed character on: 0-9, a-f, A-F,
// backspace (8) and code 12. Everything else is dropped.
bool hexEntryAccepts(char32_t c);

}  // namespace lw
