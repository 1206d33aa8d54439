#pragma once
// --log FILE of program, program-adapter and the target commands (read,
// verify, erase, blank-check): the log is tried before any adapter is
// touched, and every run that got that far, passed or failed, leaves one
// record of its target in it.
#include <string>

#include "cli/cli_options.h"
#include "cli/console_session.h"
#include "core/json_writer.h"
#include "cli/production_log.h"

namespace lw::cli {

// kExitOk (also without --log), or kExitFailed after saying that the log
// cannot be written and nothing was programmed (json gets "log_error").
int checkProductionLog(const Options& options, JsonObject& json);

// The record of a job that ended with exitStatus. session: null when the
// job ended before a session was opened. why: the reason when no box said
// it; otherwise a failure is the last message line, as --json's "result".
ProductionRecord productionRecord(const Options& options, ConsoleSession* session, int exitStatus,
                                  const std::string& why);

// Appends record (time: now) to --log FILE; without --log nothing. Returns
// exitStatus, or kExitFailed when a passed job's record could not be
// written: the programming happened, but a production run must not pass
// without its record. Then json gets "log_error".
int logProduction(const Options& options, JsonObject& json, ProductionRecord record, int exitStatus);

}  // namespace lw::cli
