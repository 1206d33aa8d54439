#include "emulator/target_mcu.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "core/text.h"
#include "resources/embedded_resources.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"

namespace lw::emu {

PartFacts partFacts(uint16_t partIndex) {
  const ResourceSource& res = embeddedResources();
  const uint32_t table = kPartTableBase + partIndex;
  PartFacts facts;
  if (partIndex > kMaxPartIndex || !textByKey(res, table, partkey::kName)) return facts;
  const uint32_t flash = flashSize(res, partIndex);
  if (flash != 0) facts.flashSize = flash;
  facts.optionByteCount = numberByKey(res, table, partkey::kOptionByteCount);
  facts.deviceId = numberByKey(res, table, partkey::kDeviceId);
  facts.known = true;
  return facts;
}

uint32_t TargetMcu::flashSize() const { return flashSizeOverride ? *flashSizeOverride : partFacts(partIndex).flashSize; }

uint32_t TargetMcu::optionByteCount() const { return partFacts(partIndex).optionByteCount; }

void TargetMcu::fitToPart() {
  flash.resize(flashSize(), 0xFF);
  options.resize(optionByteCount(), 0xFF);
}

void TargetMcu::erase() {
  std::fill(flash.begin(), flash.end(), 0xFF);
  std::fill(options.begin(), options.end(), 0xFF);
  readProtected = false;
}

void TargetMcu::program(uint32_t offset, std::span<const uint8_t> data, std::optional<uint32_t> corruptAt) {
  for (std::size_t i = 0; i < data.size() && offset + i < flash.size(); ++i) {
    uint8_t value = data[i];
    if (corruptAt && *corruptAt == offset + i) value ^= 0x01;
    flash[offset + i] &= value;
  }
}

std::string formatOptionBytes(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) text += format(i == 0 ? "%02X" : " %02X", bytes[i]);
  return text + "\n";
}

std::optional<std::vector<uint8_t>> parseOptionBytes(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find('#'));
    for (const std::string& word : splitAny(line, " \t\r,", true)) {
      std::string digits = word;
      if (digits.size() > 2 && (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0)) digits = digits.substr(2);
      if (digits.empty() || digits.size() > 2 ||
          !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
      bytes.push_back(static_cast<uint8_t>(std::stoul(digits, nullptr, 16)));
    }
  }
  return bytes;
}

}  // namespace lw::emu
