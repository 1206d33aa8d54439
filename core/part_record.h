#pragma once
// The Part record: what the applied part's descriptor says, plus the state of
// the Code buffer that every operation reads. One instance lives in the
// application state for the whole run.
#include <array>
#include <cstdint>
#include <string>

namespace lw {

inline constexpr uint16_t kNoPart = 0xFFFF;        // no part applied
inline constexpr uint16_t kForceApplyPart = 0xFFFE; // forces the next choice to apply
inline constexpr std::size_t kOptionBufferSize = 260;

struct PartRecord {
  uint32_t flashSize = 0;
  uint16_t partIndex = kNoPart;
  uint8_t optionByteCount = 0;
  std::array<uint8_t, kOptionBufferSize> optionBytes{};
  uint32_t codeSize = 0;
  uint16_t codeChecksum = 0;
  uint32_t deviceId = 0;
  uint32_t key163Value = 0;
  std::string partName;  // first word of the descriptor's display name
  uint8_t adapterParamA = 0;
  uint8_t adapterParamB = 0;
  uint8_t adapterParamC = 0;
  uint32_t progressOffset = 0;  // percent added to block-write progress

  // Clears every field, marks no part applied and erases the option bytes.
  void reset() {
    *this = PartRecord{};
    optionBytes.fill(0xFF);
  }
};

}  // namespace lw
