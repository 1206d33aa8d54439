// usb_replay DIR COMMAND [ARG...]: runs the command against a recording of
// real adapters in DIR (a *.umockdev device tree and the *.ioctl and
// *.script traces of its hidraw nodes, as umockdev-record writes them),
// with the recording answering in the adapters' place. Prints what the
// command did that the recording does not have; exits with the command's
// status, or 3 when it diverged from the recording.
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tests/usb/preload_restart.h"
#include "tests/usb/replay_bench.h"

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: usb_replay DIR COMMAND [ARG...]\n");
    return 2;
  }
  lw::usbtest::restartUnderPreload(argv);
  std::signal(SIGHUP, SIG_IGN);  // as in the tests: the nodes are pseudo-terminals
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
