#pragma once
// Picks a share of the inputs for the checks that would cost a fuzz target
// most of its speed if made on every input. The choice is a hash of the
// input's bytes, so an input that fails a sampled check replays alone.
#include <cstddef>
#include <cstdint>

namespace lw::fuzz {

// FNV-1a over the input.
inline uint32_t inputHash(const uint8_t* data, std::size_t size) {
  uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

// True for about one input in oneIn.
inline bool sampled(const uint8_t* data, std::size_t size, uint32_t oneIn) {
  return inputHash(data, size) % oneIn == 0;
}

}  // namespace lw::fuzz
