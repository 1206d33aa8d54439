#pragma once
// Where resources come from: a lookup by resource type and id that returns
// the resource's bytes. The program uses the resources embedded at build
// time; tests hand in tables they build themselves.
#include <cstdint>
#include <span>
#include <string_view>

namespace lw {

class ResourceSource {
 public:
  virtual ~ResourceSource() = default;
  // The bytes of the resource, or an empty span (data() == nullptr) when
  // there is none.
  virtual std::span<const uint8_t> find(std::string_view type, uint32_t id) const = 0;
};

}  // namespace lw
