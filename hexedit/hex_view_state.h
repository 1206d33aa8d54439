#pragma once
// Everything a hex view holds besides its drawing: the bytes and the
// settings its owner sends, and the handling of the view's message set.
// The Qt widget and the in-memory test view share this handling, so both
// answer every message the same way.
#include <array>
#include <cstdint>

#include "hexedit/byte_model.h"

namespace lw::hexedit {

struct HexViewSettings {
  // Colour record: flags, then per area (address, hex, text, header) a line
  // colour and a text colour, as 0x00BBGGRR values. Flag bits: 0 a line
  // after the addresses, 2 a line between hex and text, 4 bands of four
  // rows shaded in the text area's line colour, 6 a line under the header.
  uint32_t areaFlags = 0x55;
  std::array<uint32_t, 8> colours = {0xC8C8C8, 0, 0xC8C8C8, 0, 0xC8C8C8, 0, 0xC8C8C8, 0};
  int rowHeight = 14;              // pixels per row
  uint32_t capacityHint = 0;       // bytes worth reserving up front
  uint32_t flashSize = 0;          // the selected part's flash; bounds growing by typing
  uint16_t languageIndex = 0;      // the owner's language: 0 English, 1 Simplified Chinese
};

struct HexViewState {
  ByteModel model;
  HexViewSettings settings;
};

// Handles one message of the set in core/ports/hex_view_port.h and
// returns its result (0 where the message has none). Pointers arrive in
// wParam as the sender passed them; a null pointer or a negative length is
// ignored.
intptr_t handleHexMessage(HexViewState& state, unsigned msg, uintptr_t wParam, intptr_t lParam);

}  // namespace lw::hexedit
