#pragma once
// An instance guard within one process, for tests: guards with the same
// name exclude each other while one holds it.
#include <string>

#include "core/ports/instance_guard_port.h"

namespace lw {

class MemoryInstanceGuard final : public InstanceGuardPort {
 public:
  ~MemoryInstanceGuard() override { release(); }
  bool acquire(const std::string& name) override;
  void release() override;

 private:
  std::string held_;
};

}  // namespace lw
