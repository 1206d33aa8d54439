#include "cli/interrupt_watch.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace lw::cli {

namespace {

sigset_t interruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

// Shared with the thread, which outlives the watch: a detached thread stuck
// in sigwait cannot be joined.
struct InterruptWatch::State {
  std::function<bool(int)> onFirst;
  std::atomic<bool> armed{true};
};

namespace {

// From here on the two signals do what they do by default, in this thread
// too: the next one ends the process.
void restoreDefaults() {
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  sigaction(SIGINT, &plain, nullptr);
  sigaction(SIGTERM, &plain, nullptr);
  const sigset_t set = interruptSignals();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void* watch(void* raw) {
  auto* state = static_cast<InterruptWatch::State*>(raw);
  const sigset_t set = interruptSignals();
  int signal = 0;
  while (sigwait(&set, &signal) != 0) {
  }
  if (!state->armed) {
    // Disarmed meanwhile: the signal ends the process as it would have.
    restoreDefaults();
    ::raise(signal);
    return nullptr;
  }
  restoreDefaults();
  if (state->onFirst(signal)) {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(1);
  }
  return nullptr;
}

}  // namespace

const char* signalName(int signal) { return signal == SIGINT ? "SIGINT" : "SIGTERM"; }

InterruptWatch::InterruptWatch(std::function<bool(int)> onFirst) : state_(new State{std::move(onFirst)}) {
  const sigset_t set = interruptSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  pthread_t thread;
  if (pthread_create(&thread, nullptr, watch, state_) == 0) {
    pthread_detach(thread);
  } else {
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);  // no watch: signals as usual
  }
}

InterruptWatch::~InterruptWatch() {
  // The thread keeps the state (and it is never freed): a signal from now
  // on takes the default way.
  state_->armed = false;
}

}  // namespace lw::cli
