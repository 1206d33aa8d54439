// usb_replay DIR COMMAND [ARG...]: runs the command against a recording of
// real adapters in DIR (a *.umockdev device tree and the *.ioctl and
// *.script traces of its hidraw nodes, as umockdev-record writes them),
// with the recording answering in the adapters' place. Prints what the
// command did that the recording does not have; exits with the command's
// status, or 3 when it diverged from the recording.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tests/usb/replay_bench.h"

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: usb_replay DIR COMMAND [ARG...]\n");
    return 2;
  }
  const char* preload = std::getenv("LD_PRELOAD");
  if (!preload || std::string(preload).find("libumockdev-preload") == std::string::npos) {
    const std::string list = preload && *preload ? std::string(preload) + ":libumockdev-preload.so.0"
                                                 : "libumockdev-preload.so.0";
    ::setenv("LD_PRELOAD", list.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    std::perror("usb_replay: cannot start again under libumockdev-preload");
    return 2;
  }
  try {
    lw::usbtest::ReplayBench replay(argv[1]);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
      std::fprintf(stderr, "usb_replay: cannot run %s\n", argv[2]);
      return 2;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const auto divergences = replay.divergences();
    for (const std::string& d : divergences) std::fprintf(stderr, "usb_replay: %s\n", d.c_str());
    if (!divergences.empty()) return 3;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "usb_replay: %s\n", e.what());
    return 2;
  }
}
