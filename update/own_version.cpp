#include "update/own_version.h"

#include "update/version_number.h"

namespace lw {

uint32_t ownProductVersion() {
  return packVersion(LW_VERSION_MAJOR, LW_VERSION_MINOR, LW_VERSION_PATCH, LW_VERSION_TWEAK);
}

}  // namespace lw
