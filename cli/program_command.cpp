// program: "Update Target" with the loaded files and the option settings.
#include <cstdio>

#include "cli/board_serial.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/job_interrupts.h"
#include "cli/job_start.h"
#include "cli/production_logging.h"
#include "link/adapter_operations.h"
#include "core/byte_sum.h"
#include "link/adapter_messages.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"

namespace lw::cli {

namespace {
// A firmware update that the adapter check started has posted its result
// once its download ended; the result may wait 3 s before it is shown.
constexpr int kResultWaitMs = 30'000;
}  // namespace

int runProgram(const Options& o) {
  JsonObject json;
  json.add("command", "program");
  ProductionLog log(o);
  if (const int refused = refuseBeforeJob(o, json, log, o.serial.at.has_value()); refused != kExitOk) return refused;
  JobInterrupts interrupts(o, log);
  if (const int chosen = selectJobAdapter(o, json, log, interrupts); chosen != kExitOk) return chosen;
  ConsoleSession session(sessionSetupFor(o));
  ConsoleMessageBoxes& messages = session.messages();
  auto end = [&](int status, const std::string& why) {
    interrupts.ending();
    return finish(o, json, log.deliver(json, log.record(&session, status, why), status), &messages);
  };
  // An empty buffer erases the target and writes the option bytes alone, as
  // the window does; asked for only by name, so that files that held no
  // data do not pass for a programmed target.
  std::string why;
  if (const int ready = prepareAdapterJob(session, o, !o.optionsOnly, &why); ready != kExitOk) return end(ready, why);
  if (o.serial.at) {
    const int serial = putBoardSerial(session, o, log, json, &why);
    if (serial == kExitUsage) return end(serial, why);
    // No number, no board: the board was not touched and gets no row (the
    // store that could not hand out a number could not take it either).
    if (serial != kExitOk) {
      interrupts.ending();
      return finish(o, json, serial, &messages);
    }
  }
  interrupts.know(log.record(&session, kExitFailed, ""));
  interrupts.follow(&session.operations().adapter().runReport());

  const std::vector<uint8_t> buffer = session.codeBuffer();
  const std::vector<uint8_t> options = session.optionBytes();
  json.add("part", session.partName())
      .add("size", static_cast<int64_t>(buffer.size()))
      .add("checksum", static_cast<int64_t>(codeChecksum(buffer.data(), buffer.size())))
      .add("option_bytes", hexBytes(options));
  if (!o.json) {
    std::printf("%s\n%s\n", session.sizeText().c_str(), session.checksumText().c_str());
    std::fflush(stdout);
  }

  session.main().onCommand(mainid::kUpdateTarget);
  session.settleFirmwareUpdate(kResultWaitMs);

  const bool ok = session.messages().shown(session.languageText(textkey::kUpdateTargetOk));
  if (!messages.lines().empty()) json.add("result", messages.lines().back());
  if (ok) return end(kExitOk, {});
  const std::string failure = reportRunFailure(session, "Update Target");
  if (!failure.empty()) json.add("failure", failure);
  return end(kExitFailed, failure);
}

}  // namespace lw::cli
