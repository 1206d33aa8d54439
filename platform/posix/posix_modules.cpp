#include "platform/posix/posix_modules.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/codes.h"

namespace lw {

ModuleHandle PosixModules::load(const std::string& pathOrName, uint32_t& lastError) {
  void* handle = dlopen(pathOrName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle) {
    lastError = err::kSuccess;
    return handle;
  }
  // dlopen reports no error number; tell a missing file from a file that
  // is there but cannot be loaded.
  if (pathOrName.find('/') != std::string::npos) {
    struct stat st;
    lastError = stat(pathOrName.c_str(), &st) != 0 ? errorFromErrno(errno) : err::kModuleNotFound;
  } else {
    lastError = err::kModuleNotFound;
  }
  return nullptr;
}

void* PosixModules::symbol(ModuleHandle module, const char* name) { return module ? dlsym(module, name) : nullptr; }

void PosixModules::unload(ModuleHandle module) {
  if (module) dlclose(module);
}

}  // namespace lw
