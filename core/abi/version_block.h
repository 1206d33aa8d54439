#pragma once
// Shared objects carry no version resource, so the Link library embeds a
// fixed block that the program finds by scanning the file: a 16-byte
// signature followed by four little-endian 16-bit numbers, major, minor,
// build and revision.
#include <cstdint>

namespace lw {

// The signature is spelled in two halves in the program so that the
// program's own binary never carries the whole signature by accident.
inline constexpr char kVersionSignatureHead[] = "LWMODVER";
inline constexpr char kVersionSignatureTail[] = "SIGN\x01\x02\x03\x04";
inline constexpr std::size_t kVersionSignatureSize = 16;

struct ModuleVersionBlock {
  char signature[16];
  uint16_t major;
  uint16_t minor;
  uint16_t build;
  uint16_t revision;
};
static_assert(sizeof(ModuleVersionBlock) == 24);

// Declares the version block inside a module. Use once per module, at
// namespace scope.
#define LW_MODULE_VERSION_BLOCK(name, ma, mi, bu, re)                          \
  extern "C" __attribute__((used, visibility("default")))                    \
  const ::lw::ModuleVersionBlock name = {                                     \
      {'L', 'W', 'M', 'O', 'D', 'V', 'E', 'R', 'S', 'I', 'G', 'N', 1, 2, 3, 4}, \
      (ma), (mi), (bu), (re)}

}  // namespace lw
