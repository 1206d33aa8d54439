#include "resources/hex_entry.h"

#include <cstdio>

#include "core/text.h"
#include "platform/ports/dialog_port.h"

namespace lw {

uint32_t hexRead(std::string_view text) {
  const std::string copy(text);
  unsigned int value = 0;
  if (std::sscanf(copy.c_str(), "%X", &value) != 1) return 0;
  return value;
}

std::string hexFormat(uint32_t value, int width) {
  if (width <= 0) return format("%X", value);
  const std::string fmt = format("%%0%dX", width);
  return format(fmt.c_str(), value);
}

uint32_t readHexControl(const DialogPort& dialog, int id) { return hexRead(dialog.text(id)); }

void writeHexControl(DialogPort& dialog, int id, uint32_t value, int width) {
  dialog.setText(id, hexFormat(value, width));
}

bool hexEntryAccepts(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 8 || c == 12;
}

}  // namespace lw
