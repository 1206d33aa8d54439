#pragma once
// program and program-adapter stopped by SIGINT or SIGTERM: whatever the
// job was doing, its board counts as failed, gets its production log line
// (with --log) and the run's one line on standard error, and the process
// ends with exit status 1 at once. A second signal ends it without any of
// that.
#include <mutex>

#include "cli/cli_options.h"
#include "cli/interrupt_watch.h"
#include "cli/production_logging.h"

namespace lw {
struct RunReport;
}

namespace lw::cli {

class JobInterrupts {
 public:
  // Arms the watch; create it before the job starts any thread. log: the
  // run's production log, whose store an interrupted board's row is sent
  // to over a connection of its own.
  JobInterrupts(const Options& options, const ProductionLog& log);

  // What the job knows of its board so far, for the log line.
  void know(const ProductionRecord& record);
  // The run report whose step the interrupted line names.
  void follow(const RunReport* report);
  // The job has come to its own end and is about to report it: a signal
  // from now on lets it finish. When a signal is already being handled
  // this never returns (the process is ending).
  void ending();

 private:
  bool interrupted(int signal);

  const Options& options_;
  const ProductionLog& log_;
  std::mutex mutex_;
  ProductionRecord record_;
  const RunReport* report_ = nullptr;
  bool ended_ = false;
  bool interrupted_ = false;
  InterruptWatch watch_;  // last: it may call interrupted() as soon as it exists
};

}  // namespace lw::cli
