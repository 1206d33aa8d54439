#pragma once
// Run-time modules through the dynamic loader.
#include "core/ports/module_port.h"

namespace lw {

class PosixModules final : public ModulePort {
 public:
  ModuleHandle load(const std::string& pathOrName, uint32_t& lastError) override;
  void* symbol(ModuleHandle module, const char* name) override;
  void unload(ModuleHandle module) override;
};

}  // namespace lw
