#pragma once
// A C library loaded the first time one of its functions is called, not
// when the program starts: a run that never uses it does not map it (nor
// what it pulls in). LW_LAZY_FORWARD defines a function under the library's
// own name that forwards to the library's, so the code calling it is
// written against the library's header as usual; when the library cannot be
// loaded the call answers `failed`.
#include <string>

namespace lw {

class LazyLibrary {
 public:
  // soname: "libpq.so.5"; loaded at the first symbol() call.
  explicit LazyLibrary(const char* soname) : soname_(soname) {}
  void* symbol(const char* name);
  bool loaded();
  // Why it could not be loaded; empty while it could.
  const std::string& failure();

 private:
  void load();
  const char* soname_;
  bool tried_ = false;
  void* handle_ = nullptr;
  std::string failure_;
};

}  // namespace lw

// In a file of its own per library, after a function `lw::LazyLibrary& NAME()`
// that returns the library (a static local).
#define LW_LAZY_FORWARD(library, result, name, params, args, failed)                       \
  result name params {                                                                      \
    static const auto real = reinterpret_cast<decltype(&name)>(library().symbol(#name));    \
    return real ? real args : failed;                                                       \
  }
