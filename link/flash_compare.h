#pragma once
// Comparing what the target holds with what it should hold: the bytes that
// differ, and the first byte of a flash that is not erased.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lw {

struct ByteDifference {
  uint32_t offset = 0;
  uint8_t expected = 0;  // the Code buffer's byte
  uint8_t found = 0;     // the target's byte
  bool operator==(const ByteDifference&) const = default;
};

struct FlashComparison {
  uint64_t differing = 0;               // bytes that differ in all
  std::vector<ByteDifference> first;    // the first of them, in offset order
};

// How many differences a report lists.
inline constexpr std::size_t kListedDifferences = 8;

// Compares the two spans over the shorter one's length.
FlashComparison compareFlash(std::span<const uint8_t> expected, std::span<const uint8_t> found,
                             std::size_t keep = kListedDifferences);

// The offset of the first byte that is not 0xFF, or nothing when all are.
std::optional<uint32_t> firstNonBlank(std::span<const uint8_t> bytes);

// "0x00000010: 20 / 21", one line per listed difference.
std::string differenceLines(const std::vector<ByteDifference>& differences);

}  // namespace lw
