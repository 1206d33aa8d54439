#pragma once
// The single-instance guard as an exclusive lock on a file in the user's
// runtime directory. The kernel drops the lock when the holding process
// ends, so a crashed instance never blocks the next start.
#include <string>

#include "core/ports/instance_guard_port.h"

namespace lw {

class FileLockGuard final : public InstanceGuardPort {
 public:
  // lockDir: where the lock file goes; empty means $XDG_RUNTIME_DIR or /tmp.
  explicit FileLockGuard(std::string lockDir = {}) : lockDir_(std::move(lockDir)) {}
  ~FileLockGuard() override { release(); }
  bool acquire(const std::string& name) override;
  void release() override;

 private:
  std::string lockDir_;
  int fd_ = -1;
};

}  // namespace lw
