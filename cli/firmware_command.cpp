// firmware: the adapter firmware check the program makes when it finds an
// adapter, and, when the firmware needs replacing and the prompt is
// answered OK, the firmware update, waited for until its result.
#include <cstdio>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "core/codes.h"
#include "link/adapter_access.h"
#include "link/adapter_messages.h"
#include "link/adapter_operations.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"
#include "ui/main/status_texts.h"

namespace lw::cli {

namespace {

// The worker ends on its own well before this (see ConsoleSession); the
// result itself may wait 3 s before it is shown.
constexpr int kResultWaitMs = 30'000;

std::string trimmed(std::string s) {
  const auto first = s.find_first_not_of(' ');
  const auto last = s.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

}  // namespace

int runFirmware(const Options& o) {
  JsonObject json;
  json.add("command", "firmware");
  if (!selectAdapter(o)) return finish(o, json, kExitUsage, nullptr);
  warnWhenSeveralAdapters();
  ConsoleSession session(sessionSetupFor(o));
  ConsoleMessageBoxes& messages = session.messages();
  if (!session.loadLinkLibrary()) return finish(o, json, kExitFailed, &messages);
  session.open("");

  AppContext& ctx = session.context();
  MainWindowHost& ops = session.operations();
  AdapterOperations& adapter = ops.adapter();
  const LinkApi& link = session.main().link();
  const std::string version = trimmed(firmwareVersionText(firmwareImage(link)));
  json.add("library_firmware", version);

  std::string outcome;
  int checked = 0;
  int opened = -1;
  // As the start-up probe: an adapter that announces it needs new firmware
  // gets the forced check; any other adapter the normal one.
  if (link.connect(kAdapterVendorId, kPidNeedsUpdateAlt, 0) == 0) {
    ctx.state.startupFirmwareUpdateFlag = 1;
    adapter.checkAdapter(ctx.state.startupFirmwareUpdateFlag);
  } else if ((opened = link.connect(0, 0, 1)) == 0) {
    checked = adapter.checkAdapter(0);
    // --force: the firmware is replaced although it matches.
    if (checked == 1 && o.force) ops.showFirmwarePrompt(0);
  } else if (adapter.offerUpdateModeAdapter()) {
    // An adapter left in firmware-update mode: the prompt offered the download.
  } else {
    const bool denied = reportAdapterNotOpened(ctx, link, opened);
    json.add("result", denied ? "access denied" : "no adapter");
    return finish(o, json, kExitFailed, &messages);
  }

  int status = kExitFailed;
  switch (session.promptOutcome()) {
    case PromptOutcome::NotShown:
      if (checked == 1) {
        outcome = "up to date";
        status = kExitOk;
        if (!o.json) std::printf("Tether firmware is up to date (%s)\n", version.c_str());
      } else {
        outcome = "check failed";
        std::fprintf(stderr, "loomwrite-cli: the Tether did not answer the firmware check\n");
      }
      break;
    case PromptOutcome::Cancelled:
      outcome = "declined";
      break;
    case PromptOutcome::UpdateUnfinished:
      outcome = "unfinished";
      std::fprintf(stderr, "loomwrite-cli: the firmware update did not end\n");
      break;
    case PromptOutcome::UpdateRan:
      if (!session.settleFirmwareUpdate(kResultWaitMs)) {
        outcome = "unfinished";
        std::fprintf(stderr, "loomwrite-cli: the firmware update reported no result\n");
      } else if (messages.shown(session.languageText(textkey::kTetherUpgraded))) {
        outcome = "updated";
        status = kExitOk;
      } else {
        outcome = "update failed";
      }
      break;
  }
  // The prompt has closed: the adapter is let go, as after the probe.
  link.disconnect();
  json.add("result", outcome);
  return finish(o, json, status, &messages);
}

}  // namespace lw::cli
