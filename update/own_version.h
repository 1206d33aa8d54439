#pragma once
// The program's own product version (the project version of the build),
// packed as in version_number.h.
#include <cstdint>

namespace lw {

uint32_t ownProductVersion();

}  // namespace lw
