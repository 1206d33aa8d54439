#pragma once
// A dialog control's text read and written as a hexadecimal number, the way
// every hex entry field of the program shows its value.
#include <cstdint>

namespace lw {

class DialogPort;

uint32_t readHexControl(const DialogPort& dialog, int id);
// Width 0 writes "%X"; another width zero-pads to at least that many digits.
void writeHexControl(DialogPort& dialog, int id, uint32_t value, int width);

}  // namespace lw
