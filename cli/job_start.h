#pragma once
// The start that every command driving one adapter shares (program,
// program-adapter, read, verify, erase, blank-check): what may refuse the
// command before any adapter is looked at, and the adapter's choice with
// the row of a command that could not use it.
#include "cli/cli_options.h"
#include "cli/job_interrupts.h"
#include "cli/production_logging.h"
#include "core/json_writer.h"

namespace lw::cli {

// Outputs that would overwrite inputs, then the production log tried (and
// its serial numbers, when the command hands them out). Returns kExitOk, or
// the finished exit status of the refused command (no row: nothing ran).
int refuseBeforeJob(const Options& options, JsonObject& json, ProductionLog& log, bool needsSerialNumbers);

// Picks the adapter the options name. When it cannot be used the command
// ends here, its row logged; returns kExitOk or the finished exit status.
int selectJobAdapter(const Options& options, JsonObject& json, ProductionLog& log, JobInterrupts& interrupts);

}  // namespace lw::cli
