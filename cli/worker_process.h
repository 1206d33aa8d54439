#pragma once
// Child processes of the command-line tool, run side by side: each one's
// standard output is collected, its standard error handed on line by line
// as it comes, and one that outlives the time limit is killed, so that no
// worker can hold the others or the caller up.
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
  std::string out;         // everything it wrote on standard output
};

using WorkerLineSink = std::function<void(std::size_t worker, const std::string& line)>;

// Runs program once per argument list, all at the same time, with standard
// input from /dev/null, until every one has ended. onLine gets each line of
// standard error (without its line end), onTick is called at least every
// tickEvery while they run. A worker ignores SIGPIPE, so that it finishes
// its board even when the caller is gone.
std::vector<WorkerResult> runWorkers(const std::string& program, const std::vector<std::vector<std::string>>& argLists,
                                     std::chrono::milliseconds limit, const WorkerLineSink& onLine,
                                     const std::function<void()>& onTick, std::chrono::milliseconds tickEvery);

// "exit 1", "killed by signal 9", "did not finish within 600 s", "could not start: ...".
std::string describeEnd(const WorkerResult& r, std::chrono::milliseconds limit);

}  // namespace lw::cli
