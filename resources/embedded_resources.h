#pragma once
// The resources compiled into the program from resources/data.
#include <cstddef>
#include <cstdint>
#include <span>

#include "resources/resource_source.h"

namespace lw {

struct EmbeddedResource {
  const char* type;
  uint32_t id;
  const unsigned char* bytes;
  std::size_t size;
};

std::span<const EmbeddedResource> embeddedResourceList();

class EmbeddedResources final : public ResourceSource {
 public:
  std::span<const uint8_t> find(std::string_view type, uint32_t id) const override;
};

// The program's one set of embedded resources.
const ResourceSource& embeddedResources();

}  // namespace lw
