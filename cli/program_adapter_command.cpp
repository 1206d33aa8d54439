// program-adapter: "Update Programmer" with the loaded files, the option
// settings and the Off-line mode dialog filled in from the command line.
#include <cstdio>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/job_interrupts.h"
#include "cli/job_start.h"
#include "cli/production_logging.h"
#include "link/adapter_operations.h"
#include "core/byte_sum.h"
#include "core/ids/language_keys.h"
#include "core/text.h"
#include "platform/memory/memory_main_dialog.h"
#include "resources/hex_entry.h"
#include "ui/dialogs/offline_dialog.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"

namespace lw::cli {

namespace {

// As in program: a firmware update the adapter check started may take a while to report.
constexpr int kResultWaitMs = 30'000;

// What the dialog ended with, for the report.
struct OfflineAnswer {
  bool shown = false;
  bool accepted = false;
  std::vector<std::string> corrections;
  OfflineSettings settings;
};

// Fills the dialog as a user would: types each value given, ticks the boxes,
// presses Ok (twice when the first corrected the start address).
bool answerOfflineDialog(AppContext& app, const OfflineOptions& o, OfflineSettings& settings, uint32_t highest,
                         OfflineAnswer& answer) {
  using namespace offlinedlg;
  MemoryDialog dialog;
  declareOfflineDialogControls(dialog);
  OfflineDialog logic(app, settings, highest);
  logic.onInit(dialog);
  auto type = [&](int id, const std::string& text) {
    dialog.setText(id, text);
    logic.onChange(dialog, id);
  };
  auto tick = [&](int id) {
    dialog.setChecked(id, true);
    logic.onCommand(dialog, id);
  };
  if (o.maxCounter) type(kMaxCounter, *o.maxCounter);
  if (o.serialEnabled()) tick(kSerialEnabled);
  if (o.serialString) type(kSerialString, *o.serialString);
  if (o.serialNumber) type(kSerialValue, hexFormat(*o.serialNumber, 8));
  if (o.autoIncrement) tick(kAutoIncrement);
  if (o.serialAddress) type(kStartAddress, hexFormat(*o.serialAddress, 8));
  for (int press = 0; press < 2 && !dialog.endResult; ++press) logic.onCommand(dialog, kOk);
  answer.shown = true;
  answer.accepted = dialog.endResult == kResultOk;
  answer.corrections = logic.corrections();
  answer.settings = settings;
  return answer.accepted;
}

std::string serialText(const OfflineSettings& s) {
  std::size_t n = 0;
  while (n < kSerialStringBytes && s.serialString[n] != 0) ++n;
  return codePageToUtf8(std::string(s.serialString.begin(), s.serialString.begin() + static_cast<std::ptrdiff_t>(n)));
}

}  // namespace

int runProgramAdapter(const Options& o) {
  JsonObject json;
  json.add("command", "program-adapter");
  ProductionLog log(o);
  if (const int refused = refuseBeforeJob(o, json, log, false); refused != kExitOk) return refused;
  JobInterrupts interrupts(o, log);
  if (const int chosen = selectJobAdapter(o, json, log, interrupts); chosen != kExitOk) return chosen;
  ConsoleSession session(sessionSetupFor(o));
  ConsoleMessageBoxes& messages = session.messages();
  OfflineAnswer answer;
  auto end = [&](int status, const std::string& why) {
    interrupts.ending();
    ProductionRecord record = log.record(&session, status, why);
    // The serial number the stored job starts from, only once it is stored.
    if (record.pass && (answer.settings.flags & offlineflag::kSerialEnabled)) {
      record.serialNumber = hexFormat(answer.settings.serialValue, 8);
      record.serialString = serialText(answer.settings);
    }
    return finish(o, json, log.deliver(json, record, status), &messages);
  };
  // An empty buffer is Update Programmer's own "File size is zero !".
  std::string why;
  if (const int ready = prepareAdapterJob(session, o, false, &why); ready != kExitOk) return end(ready, why);
  interrupts.know(log.record(&session, kExitFailed, ""));
  interrupts.follow(&session.operations().adapter().runReport());

  const std::vector<uint8_t> buffer = session.codeBuffer();
  json.add("part", session.partName())
      .add("size", static_cast<int64_t>(buffer.size()))
      .add("checksum", static_cast<int64_t>(codeChecksum(buffer.data(), buffer.size())))
      .add("option_bytes", hexBytes(session.optionBytes()));
  if (!o.json) {
    std::printf("%s\n%s\n", session.sizeText().c_str(), session.checksumText().c_str());
    std::fflush(stdout);
  }

  session.offlineDialog = [&](OfflineSettings& settings, uint32_t highest) {
    const bool ok = answerOfflineDialog(session.context(), o.offline, settings, highest, answer);
    for (const std::string& c : answer.corrections) std::fprintf(stderr, "loomwrite-cli: %s\n", c.c_str());
    return ok;
  };
  session.main().onCommand(mainid::kUpdateProgrammer);
  session.settleFirmwareUpdate(kResultWaitMs);

  if (answer.shown) {
    const OfflineSettings& s = answer.settings;
    json.add("max_counter", static_cast<int64_t>(s.maxCounter))
        .add("serial_enabled", (s.flags & offlineflag::kSerialEnabled) != 0)
        .add("serial_string", serialText(s))
        .add("serial_number", hexFormat(s.serialValue, 8))
        .add("auto_increment", (s.flags & offlineflag::kAutoIncrement) != 0)
        .add("serial_address", hexFormat(s.startAddress, 8))
        .addStrings("corrections", answer.corrections);
    if (!o.json) {
      std::printf("Max Counter = %u\n", s.maxCounter);
      if (s.flags & offlineflag::kSerialEnabled)
        std::printf("Serial = \"%s\" 0x%08X%s at 0x%08X\n", serialText(s).c_str(), s.serialValue,
                    (s.flags & offlineflag::kAutoIncrement) ? " (auto increment)" : "", s.startAddress);
      std::fflush(stdout);
    }
  }
  if (answer.shown && !answer.accepted) {
    // Only a max counter the dialog keeps refusing leaves it open.
    const std::string refused = "the Off-line mode dialog refused the values given";
    return end(usageError(refused), refused);
  }
  if (!session.main().dialog().isEnabled(mainid::kUpdateProgrammer))
    std::fprintf(stderr, "loomwrite-cli: the adapter cannot hold an off-line job\n");

  const bool ok = messages.shown(session.languageText(textkey::kUpdateProgrammerOk));
  if (!messages.lines().empty()) json.add("result", messages.lines().back());
  if (ok) return end(kExitOk, {});
  const std::string failure = reportRunFailure(session, "Update Programmer");
  if (!failure.empty()) json.add("failure", failure);
  return end(kExitFailed, failure);
}

}  // namespace lw::cli
