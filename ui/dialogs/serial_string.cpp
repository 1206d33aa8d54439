#include "ui/dialogs/serial_string.h"

#include <string>

#include "core/offline_settings.h"
#include "core/text.h"

namespace lw {

namespace {

// Length in bytes of the UTF-8 sequence that starts with lead (1 for a
// stray continuation byte, which the conversion turns into one '?').
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

SerialStringBytes serialStringBytes(std::string_view utf8) {
  SerialStringBytes out;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t n = std::min(sequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    const std::string_view character = utf8.substr(i, n);
    i += n;
    // Converted one character at a time: a character whose bytes would not
    // all fit is left out whole.
    const std::string converted = utf8ToCodePage(character);
    if (characters == kSerialStringBytes || out.length + converted.size() > kSerialStringBytes) {
      out.cut = true;
      break;
    }
    if (converted == "?" && character != "?") out.replaced = true;
    for (const char c : converted) out.bytes[out.length++] = static_cast<uint8_t>(c);
    ++characters;
  }
  out.bytes[out.length] = 0;
  return out;
}

}  // namespace lw
