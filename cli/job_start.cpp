#include "cli/job_start.h"

#include "cli/command_support.h"

namespace lw::cli {

int refuseBeforeJob(const Options& options, JsonObject& json, ProductionLog& log, bool needsSerialNumbers) {
  if (const int clash = refuseClashingOutputs(options); clash != kExitOk) return finish(options, json, clash, nullptr);
  if (const int logged = log.check(json, needsSerialNumbers); logged != kExitOk)
    return finish(options, json, logged, nullptr);
  return kExitOk;
}

int selectJobAdapter(const Options& options, JsonObject& json, ProductionLog& log, JobInterrupts& interrupts) {
  if (selectAdapter(options)) {
    warnWhenSeveralAdapters();
    return kExitOk;
  }
  interrupts.ending();
  const ProductionRecord refused = log.record(nullptr, kExitUsage, "the adapter cannot be used");
  return finish(options, json, log.deliver(json, refused, kExitUsage), nullptr);
}

}  // namespace lw::cli
