#include "tests/usb/preload_restart.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lw::usbtest {

void restartUnderPreload(char** argv) {
  constexpr char kPreload[] = "libumockdev-preload.so.0";
  const char* list = std::getenv("LD_PRELOAD");
  if (list && std::string(list).find("libumockdev-preload") != std::string::npos) return;
  const std::string preload = list && *list ? std::string(list) + ":" + kPreload : kPreload;
  ::setenv("LD_PRELOAD", preload.c_str(), 1);
  ::execv("/proc/self/exe", argv);
  std::perror("cannot start again under libumockdev-preload");
  std::exit(2);
}

}  // namespace lw::usbtest
