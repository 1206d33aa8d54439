#include "cli/job_interrupts.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "core/json_writer.h"
#include "link/run_report.h"

namespace lw::cli {

JobInterrupts::JobInterrupts(const Options& options, const ProductionLog& log)
    : options_(options),
      log_(log),
      record_(log.record(nullptr, 1, "")),
      watch_([this](int signal) { return interrupted(signal); }) {}

void JobInterrupts::know(const ProductionRecord& record) {
  std::lock_guard lock(mutex_);
  record_ = record;
}

void JobInterrupts::follow(const RunReport* report) {
  std::lock_guard lock(mutex_);
  report_ = report;
}

void JobInterrupts::ending() {
  std::unique_lock lock(mutex_);
  if (interrupted_) {
    lock.unlock();
    for (;;) ::pause();  // the watch's thread is ending the process
  }
  ended_ = true;
}

bool JobInterrupts::interrupted(int signal) {
  std::lock_guard lock(mutex_);
  if (ended_) return false;
  interrupted_ = true;
  const char* step = report_ ? report_->step.load() : nullptr;
  std::string why = std::string("interrupted by ") + signalName(signal);
  if (step) why += std::string(" during ") + step;
  std::fprintf(stderr, "loomwrite-cli: %s; the board counts as failed\n", why.c_str());
  if (log_.enabled()) {
    ProductionRecord r = record_;
    r.pass = false;
    r.message = why;
    r.failurePhase = step ? step : "before the adapter";
    r.time = utcTimestamp(std::time(nullptr));
    // The job's own connection may be in use on the main thread.
    deliverRow(log_.address(), nullptr, r);
  }
  if (options_.json) {
    std::printf("%s\n", JsonObject()
                            .add("command", options_.command)
                            .add("ok", false)
                            .add("exit", static_cast<int64_t>(1))
                            .add("interrupted", why)
                            .str()
                            .c_str());
  }
  return true;
}

}  // namespace lw::cli
