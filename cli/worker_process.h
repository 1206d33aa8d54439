#pragma once
// Child processes of the command-line tool, run side by side: each one's
// standard output is collected, both its outputs are handed on line by line
// as they come, and one that outlives the time limit is killed, so that no
// worker can hold the others or the caller up. SIGINT and SIGTERM to the
// caller are passed on to the workers, which are waited for (bounded).
#include <signal.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace lw::cli {

struct WorkerResult {
  bool started = false;
  std::string startError;  // why it could not be started
  int exitStatus = -1;     // the exit status; -1 when it did not exit normally
  int signal = 0;          // the signal that ended it, else 0
  bool timedOut = false;   // killed for running past the limit
  int interruptedBy = 0;   // the caller's SIGINT or SIGTERM passed on to it, else 0
  std::string out;         // everything it wrote on standard output
};

using WorkerLineSink = std::function<void(std::size_t worker, const std::string& line)>;

struct WorkerRules {
  std::chrono::milliseconds limit;           // a worker still running then is killed
  std::chrono::milliseconds tickEvery;       // how often onTick is called at least
  std::chrono::milliseconds interruptGrace;  // how long workers may take to end once interrupted
};

struct WorkerCallbacks {
  WorkerLineSink onLine;             // each line of a worker's standard error, without its line end
  WorkerLineSink onOutLine;          // each line of its standard output, as it comes (it is collected too)
  std::function<void()> onTick;
  // The caller got SIGINT or SIGTERM: the first time (again = false) it is
  // passed on to every worker still running (running of them), which then
  // has the grace time to end on its own before it is killed; a second one
  // kills them at once.
  std::function<void(int signal, bool again, std::size_t running)> onInterrupt;
};

// SIGINT and SIGTERM to the caller, blocked from its creation on and read
// from a file descriptor, so that one that comes while the workers are
// being prepared is not lost; the signal mask before is given back at the end.
class InterruptSignals {
 public:
  InterruptSignals();
  ~InterruptSignals();
  InterruptSignals(const InterruptSignals&) = delete;
  InterruptSignals& operator=(const InterruptSignals&) = delete;
  int fd() const { return fd_; }
  const sigset_t& maskBefore() const { return before_; }
  // The signal that came, else 0.
  int take();

 private:
  sigset_t set_{}, before_{};
  int fd_ = -1;
};

// Runs program once per argument list, all at the same time, with standard
// input from /dev/null, until every one has ended; none when a signal came
// already. Each worker runs in a process group of its own, so that a
// Ctrl-C reaches it only as passed on here, once. A worker ignores SIGPIPE,
// so that it finishes its board even when the caller is gone.
std::vector<WorkerResult> runWorkers(const std::string& program, const std::vector<std::vector<std::string>>& argLists,
                                     const WorkerRules& rules, const WorkerCallbacks& callbacks,
                                     InterruptSignals& interrupts);

// "exit 1", "killed by signal 9", "did not finish within 600 s", "could not start: ...",
// "stopped: it did not end within 5 s of SIGTERM".
std::string describeEnd(const WorkerResult& r, const WorkerRules& rules);

}  // namespace lw::cli
