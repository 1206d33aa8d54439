#pragma once
// The project record: the block at the end of a ".kpj" project file and its
// in-memory copy held by the main dialog. A project file is the code image
// followed by this record; every multi-byte number in it is big-endian.
#include <array>
#include <cstdint>
#include <string>

#include "core/offline_settings.h"

namespace lw {

inline constexpr char kProjectMagic[] = "vantrel. KPJ 3.0";  // 16 characters, no terminator in the file
inline constexpr std::size_t kProjectMagicSize = 16;
inline constexpr uint16_t kProjectVersion = 0x0302;
inline constexpr uint8_t kProjectFormatCode = 0x18;
inline constexpr uint8_t kProjectFormatCodeOld = 0x16;  // also accepted when reading

inline constexpr std::size_t kOptionBlockSize = 176;
inline constexpr std::size_t kOptionBytesInBlock = 128;  // option bytes, then 0xFF, up to the reserved block
inline constexpr std::size_t kReservedBlockOffset = 128;
inline constexpr std::size_t kReservedBlockSize = 32;
inline constexpr std::size_t kRandomKeyOffset = 160;
inline constexpr std::size_t kReservedByteCOffset = 164;
// The block must reach past reserved byte C for the fixed fields to lie inside it.
inline constexpr std::size_t kMinOptionBlockSize = kReservedByteCOffset + 1;

// Names are stored as a length byte plus that many code-page bytes.
inline constexpr std::size_t kMaxStoredNameLength = 255;

// Fixed part of the record besides the two names and the option block.
inline constexpr uint32_t kProjectRecordFixedSize = 57;

struct ProjectRecord {
  std::array<char, kProjectMagicSize> magic{};
  std::string codeFileName;  // code-page bytes, at most 255
  uint32_t codeSize = 0;
  uint16_t codeChecksum = 0;
  uint32_t reserved32 = 0;
  uint16_t reserved16 = 0;
  uint16_t partIndex = 0xFFFF;
  uint8_t reservedByte = 0;
  uint8_t optionBlockLength = static_cast<uint8_t>(kOptionBlockSize);
  std::array<uint8_t, kOptionBlockSize> optionBlock{};
  uint8_t reservedA = 0x00;
  uint8_t reservedB = 0xFF;
  uint16_t reservedWord1 = 0;
  uint16_t reservedWord2 = 0;
  std::string ispCodeName;  // code-page bytes, at most 255
  OfflineSettings offline;
  uint16_t atpgKey = 0;
  std::array<uint8_t, kReservedBlockSize> reservedBlock{};
  uint8_t reservedC = 5;
  uint32_t randomKey = 0;
  std::array<uint8_t, 6> saveTime{};  // year - 2000, month, day, hour, minute, second
  uint16_t version = kProjectVersion;
  uint16_t reservedWord = 0x0100;
  uint8_t formatCode = kProjectFormatCode;
  uint16_t recordChecksum = 0;
  uint16_t recordLength = 0;
};

// Puts every field back to what a new record holds. reservedWordDefault is
// the application's reserved-word default (0x0100).
void resetProjectRecord(ProjectRecord& record, uint16_t reservedWordDefault);

// A new record, as resetProjectRecord leaves it.
ProjectRecord newProjectRecord(uint16_t reservedWordDefault);

bool hasProjectMagic(const ProjectRecord& record);

}  // namespace lw
