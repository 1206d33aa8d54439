#include "ui/main/status_texts.h"

#include "core/text.h"

namespace lw {

std::string sizeFieldText(std::string_view fieldText, std::string_view sizeWord, uint32_t size) {
  return fillIn(fieldText, {sizeWord, std::to_string(size)});
}

std::string checksumFieldText(std::string_view checksumWord, uint16_t checksum) {
  return format("%s = 0x%04X", std::string(checksumWord).c_str(), static_cast<unsigned>(checksum));
}

std::string firmwareVersionText(std::span<const uint8_t> firmwareImage) {
  unsigned major = 0, minor = 0;
  if (firmwareImage.size() >= 2) {
    major = firmwareImage[firmwareImage.size() - 2];
    minor = firmwareImage[firmwareImage.size() - 1];
  }
  return format(" FW = v%X.%2X", major, minor);
}

std::string mainWindowTitle(std::string_view titleText, std::string_view firmwareText) {
  return std::string(titleText) + std::string(firmwareText) + " ";
}

}  // namespace lw
