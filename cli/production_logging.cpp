#include "cli/production_logging.h"

#include <cstdio>
#include <ctime>

#include "cli/command_support.h"
#include "cli/log_append.h"
#include "core/byte_sum.h"
#include "core/ids/main_dialog_ids.h"
#include "core/text.h"
#include "ui/main/main_dialog.h"

namespace lw::cli {

int checkProductionLog(const Options& options, JsonObject& json) {
  if (options.log.empty()) return kExitOk;
  const std::string why = checkLogAppendable(options.log);
  if (why.empty()) return kExitOk;
  json.add("log_error", options.log + " " + why);
  std::fprintf(stderr, "loomwrite-cli: the production log %s %s; nothing was programmed\n", options.log.c_str(),
               why.c_str());
  return kExitFailed;
}

ProductionRecord productionRecord(const Options& options, ConsoleSession* session, int exitStatus,
                                  const std::string& why) {
  ProductionRecord r;
  r.command = options.command;
  r.adapter = adapterPlace(options);
  // The part list stays open until a part is fixed for the name given; a
  // name that matched nothing is logged as typed.
  const bool partFixed = session && !session->main().dialog().isEnabled(mainid::kPart);
  r.part = partFixed || (session && options.part.empty()) ? session->partName() : options.part;
  if (session) {
    const std::vector<uint8_t> code = session->codeBuffer();
    r.size = code.size();
    r.checksum = codeChecksum(code.data(), code.size());
  }
  r.pass = exitStatus == kExitOk;
  if (!r.pass) {
    const std::vector<std::string> none;
    const std::vector<std::string>& lines = session ? session->messages().lines() : none;
    r.message = !why.empty()       ? why
                : !lines.empty()   ? lines.back()
                                   : format("failed with exit status %d", exitStatus);
  }
  return r;
}

int logProduction(const Options& options, JsonObject& json, ProductionRecord record, int exitStatus) {
  if (options.log.empty()) return exitStatus;
  if (record.time.empty()) record.time = utcTimestamp(std::time(nullptr));
  const LogLine line = logLineFor(options.log, record);
  const std::string why = appendLogLine(options.log, line.header, line.line);
  if (why.empty()) return exitStatus;
  std::fprintf(stderr, "loomwrite-cli: the production log %s %s; %s, but its record is missing\n",
               options.log.c_str(), why.c_str(),
               record.pass ? "the target was programmed all the same" : "the job had already run and failed");
  json.add("log_error", options.log + " " + why);
  return exitStatus == kExitOk ? kExitFailed : exitStatus;
}

}  // namespace lw::cli
