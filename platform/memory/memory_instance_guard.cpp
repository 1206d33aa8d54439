#include "platform/memory/memory_instance_guard.h"

#include <mutex>
#include <set>

namespace lw {

namespace {
std::mutex& registryMutex() {
  static std::mutex m;
  return m;
}
std::set<std::string>& registry() {
  static std::set<std::string> names;
  return names;
}
}  // namespace

bool MemoryInstanceGuard::acquire(const std::string& name) {
  std::lock_guard lock(registryMutex());
  if (!registry().insert(name).second) return false;
  held_ = name;
  return true;
}

void MemoryInstanceGuard::release() {
  std::lock_guard lock(registryMutex());
  if (!held_.empty()) registry().erase(held_);
  held_.clear();
}

}  // namespace lw
