#include "resources/embedded_resources.h"

namespace lw {

std::span<const uint8_t> EmbeddedResources::find(std::string_view type, uint32_t id) const {
  for (const EmbeddedResource& r : embeddedResourceList()) {
    if (r.id == id && type == r.type) return {r.bytes, r.size};
  }
  return {};
}

const ResourceSource& embeddedResources() {
  static const EmbeddedResources instance;
  return instance;
}

}  // namespace lw
