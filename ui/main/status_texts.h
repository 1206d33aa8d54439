#pragma once
// The texts of the main window's status fields and title.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lw {

// "Size = 4096 Bytes": the language's size field text ("%1 = %2 Bytes")
// filled in with its word for "Size" and the size.
std::string sizeFieldText(std::string_view fieldText, std::string_view sizeWord, uint32_t size);

// "Checksum = 0x1A2B", with the language's word for "Checksum".
std::string checksumFieldText(std::string_view checksumWord, uint16_t checksum);

// " FW = v1. 5": the last two bytes of the adapter firmware image are its
// major and minor version. An image too short to hold both reads as v0. 0.
std::string firmwareVersionText(std::span<const uint8_t> firmwareImage);

// The window title: the program's title text, the firmware version text
// and one trailing space.
std::string mainWindowTitle(std::string_view titleText, std::string_view firmwareText);

}  // namespace lw
