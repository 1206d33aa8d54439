#include "platform/posix/lazy_library.h"

#include <dlfcn.h>

#include <mutex>

namespace lw {

namespace {
std::mutex loading;
}  // namespace

void LazyLibrary::load() {
  std::lock_guard lock(loading);
  if (tried_) return;
  handle_ = ::dlopen(soname_, RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = ::dlerror();
    failure_ = std::string(soname_) + " cannot be loaded: " + (why ? why : "unknown reason");
  }
  tried_ = true;
}

void* LazyLibrary::symbol(const char* name) {
  load();
  return handle_ ? ::dlsym(handle_, name) : nullptr;
}

bool LazyLibrary::loaded() {
  load();
  return handle_ != nullptr;
}

const std::string& LazyLibrary::failure() {
  load();
  return failure_;
}

}  // namespace lw
