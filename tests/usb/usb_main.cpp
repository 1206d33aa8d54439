// The USB tests run under umockdev's preload library, which must be loaded
// when the process starts: a run without it starts this program again with
// the library added to LD_PRELOAD (after what is there, so that a sanitizer
// run-time preloaded first stays first). Programs the tests start inherit it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kPreload[] = "libumockdev-preload.so.0";

bool preloaded() {
  const char* list = std::getenv("LD_PRELOAD");
  return list && std::string(list).find("libumockdev-preload") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  if (!preloaded()) {
    const char* list = std::getenv("LD_PRELOAD");
    const std::string preload = list && *list ? std::string(list) + ":" + kPreload : kPreload;
    ::setenv("LD_PRELOAD", preload.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    std::perror("cannot start the tests again under libumockdev-preload");
    return 2;
  }
  // An emulated node is a pseudo-terminal; a program that happens to lead
  // its session would take it as its terminal and be hung up with it.
  std::signal(SIGHUP, SIG_IGN);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
