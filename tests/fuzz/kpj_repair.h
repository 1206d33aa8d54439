#pragma once
// Repairs the checks of a fuzzed project file, so that mutations get past
// the format code and the checksums to the length checks behind them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/byte_sum.h"
#include "image/project_record.h"

namespace lw::fuzz {

namespace detail {

inline uint32_t be(const std::vector<uint8_t>& b, std::size_t at, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}
inline void putBe(std::vector<uint8_t>& b, std::size_t at, int n, uint32_t v) {
  for (int i = n - 1; i >= 0; --i, v >>= 8) b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v);
}

}  // namespace detail

// Makes the record length, format code, code size and both checksums of a
// project file right, keeping every other byte.
inline void repairProjectChecks(std::vector<uint8_t>& f) {
  using detail::be;
  using detail::putBe;
  constexpr std::size_t kFixed = lw::kProjectRecordFixedSize;
  if (f.size() < kFixed) return;
  const std::size_t size = f.size();
  std::size_t length = be(f, size - 2, 2);
  if (length < kFixed || length > size) length = kFixed + length % (std::min<std::size_t>(size, 0xFFFF) - kFixed + 1);
  putBe(f, size - 2, 2, static_cast<uint32_t>(length));
  const std::size_t start = size - length;
  const bool old = f[start + length - 5] & 1;
  f[start + length - 5] = old ? lw::kProjectFormatCodeOld : lw::kProjectFormatCode;
  const std::size_t codeSizeAt = start + 17 + f[start + 16];
  if (codeSizeAt + 6 <= start + length - 9) {
    uint32_t codeSize = be(f, codeSizeAt, 4);
    if (codeSize > start) codeSize %= static_cast<uint32_t>(start + 1);
    putBe(f, codeSizeAt, 4, codeSize);
    putBe(f, codeSizeAt + 4, 2, lw::codeChecksum(f.data(), codeSize));
  }
  const uint32_t summed = lw::byteSum(f.data() + start, length - 4) + f[size - 2] + f[size - 1];
  putBe(f, size - 4, 2, static_cast<uint16_t>(summed));
}

}  // namespace lw::fuzz
