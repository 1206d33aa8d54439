#include "link/offline_header.h"

#include <algorithm>

#include "core/byte_sum.h"

namespace lw {

namespace {

void put16(std::vector<uint8_t>& b, std::size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> buildOfflineHeader(const PartRecord& part, const OfflineSettings& settings) {
  using namespace offlinehdr;
  const std::size_t k = part.optionByteCount;
  std::vector<uint8_t> h(kFixedSize + k, 0);
  put16(h, kLength, static_cast<uint16_t>(h.size()));
  h[kFormat] = kFormatValue;
  put16(h, kPartIndex, part.partIndex);
  put32(h, kDeviceId, part.deviceId);
  put32(h, kCodeLength, part.codeSize);
  put16(h, kCodeChecksum, part.codeChecksum);
  h[kFlags] = settings.flags;
  put32(h, kStartAddress, settings.startAddress);
  std::copy_n(settings.serialString.begin(), kSerialStringBytes, h.begin() + kSerialString);
  put32(h, kSerialValue, settings.serialValue);
  put16(h, kMaxCounter, settings.maxCounter);
  h[kParamA] = part.adapterParamA;
  h[kParamB] = part.adapterParamB;
  h[kParamC] = part.adapterParamC;
  h[kOptionCount] = static_cast<uint8_t>(k);
  std::copy_n(part.optionBytes.begin(), k, h.begin() + kOptionBytes);
  // Summed while bytes 0 and 1 are still zero.
  put16(h, kChecksum, codeChecksum(h.data(), h.size()));
  return h;
}

}  // namespace lw
