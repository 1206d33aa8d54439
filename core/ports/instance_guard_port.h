#pragma once
// The single-instance guard: a named lock that only one process can hold
// and that a crashed process does not keep.
#include <string>

namespace lw {

class InstanceGuardPort {
 public:
  virtual ~InstanceGuardPort() = default;
  // Takes the named guard. Returns false when another process holds it.
  virtual bool acquire(const std::string& name) = 0;
  virtual void release() = 0;
};

}  // namespace lw
