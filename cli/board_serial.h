#pragma once
// program --serial-at: the next number of the production log's pool,
// written into this board's image before it is programmed. The number is
// handed out by the store and recorded as spoiled until the board's passed
// row marks it used; the pending journal never holds numbers, so a store
// that cannot be reached leaves the board untouched.
#include <string>

#include "cli/cli_options.h"
#include "cli/console_session.h"
#include "cli/production_logging.h"
#include "core/json_writer.h"

namespace lw::cli {

// Why the serial number cannot go where --serial-at puts it on this part
// (a flash of flashSize bytes); empty when it can.
std::string serialPlaceProblem(const SerialOptions& serial, uint32_t flashSize, const std::string& partName);

// After the job is loaded: kExitOk with the number in the Code buffer (and
// said on standard output and in json), kExitUsage when it does not fit
// the part, kExitFailed when no number could be had; *why says which.
int putBoardSerial(ConsoleSession& session, const Options& options, ProductionLog& log, JsonObject& json,
                   std::string* why);

}  // namespace lw::cli
