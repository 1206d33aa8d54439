#pragma once
// Run-time modules (shared libraries): loading by path or name, finding
// exported symbols, unloading.
#include <cstdint>
#include <string>

namespace lw {

using ModuleHandle = void*;

class ModulePort {
 public:
  virtual ~ModulePort() = default;
  // Loads a module; on failure returns nullptr and sets lastError.
  virtual ModuleHandle load(const std::string& pathOrName, uint32_t& lastError) = 0;
  virtual void* symbol(ModuleHandle module, const char* name) = 0;
  virtual void unload(ModuleHandle module) = 0;
};

}  // namespace lw
