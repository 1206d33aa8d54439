#include "cli/command_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "cli/adapter_list.h"
#include "cli/output_guard.h"
#include "link/adapter_operations.h"
#include "ui/main/main_window_host.h"
#include "core/text.h"
#include "platform/hid/hid_api.h"
#include "production/store_address.h"

namespace lw::cli {

ProgressStyle progressStyleFor(const Options& options) {
  if (::isatty(STDERR_FILENO)) return ProgressStyle::Bar;
  // With --json the progress goes to standard output as JSON lines instead.
  return options.progress && !options.json ? ProgressStyle::Lines : ProgressStyle::None;
}

SessionSetup sessionSetupFor(const Options& options) {
  SessionSetup setup;
  setup.yes = options.yes;
  setup.languageIndex = options.languageIndex;
  setup.progress = progressStyleFor(options);
  if (options.json && options.progress) setup.progressJson = stdout;
  return setup;
}

bool selectAdapter(const Options& options) {
  if (options.adapter.empty()) return true;
  if (lw_hid_select_backend(options.adapter.c_str()) == 0) return true;
  std::fprintf(stderr, "loomwrite-cli: the adapter '%s' cannot be used\n", options.adapter.c_str());
  return false;
}

void warnWhenSeveralAdapters() {
  const std::vector<AdapterEntry> adapters = listAdapters();
  if (adapters.size() < 2) return;
  const AdapterEntry* first = &adapters.front();
  for (const AdapterEntry& a : adapters)
    if (a.productId == kPidNormal) {
      first = &a;
      break;
    }
  std::fprintf(stderr,
               "loomwrite-cli: %zu adapters are on offer and none was chosen; this run takes the first, %s "
               "(choose one with --adapter PLACE; 'loomwrite-cli adapters' lists them)\n",
               adapters.size(), first->place.c_str());
}

std::string adapterPlace(const Options& options) {
  // The adapter the run opened, wherever it sits among several; else the
  // choice the run was given.
  char opened[1024] = {};
  if (lw_hid_last_place(opened, sizeof opened) > 0 && opened[0] != 0) return opened;
  if (!options.adapter.empty()) return options.adapter;
  const char* fromEnvironment = std::getenv("LOOMWRITE_ADAPTER");
  return fromEnvironment && *fromEnvironment ? fromEnvironment : "usb";
}

int openOnPart(ConsoleSession& session, const Options& options) {
  if (session.open(options.part)) return kExitOk;
  std::string offered;
  for (const std::string& name : session.partNames()) offered += (offered.empty() ? "" : ", ") + name;
  return usageError(format("no part matches '%s' (parts offered: %s)", options.part.c_str(), offered.c_str()));
}

int loadInputs(ConsoleSession& session, const Options& options, std::string* why) {
  for (const InputFile& file : options.inputs) {
    if (session.load(file) != 0) {
      if (why) *why = session.loadError();
      return kExitFailed;
    }
  }
  return kExitOk;
}

int requireLoadedCode(ConsoleSession& session) {
  if (!session.codeBuffer().empty()) return kExitOk;
  std::fprintf(stderr, "loomwrite-cli: the files held no data, the Code buffer is empty\n");
  return kExitFailed;
}

int prepareAdapterJob(ConsoleSession& session, const Options& options, bool requireCode, std::string* why) {
  auto because = [why](int status, const std::string& reason) {
    if (why) *why = reason;
    return status;
  };
  if (!session.loadLinkLibrary()) return kExitFailed;
  if (const int opened = openOnPart(session, options); opened != kExitOk)
    return because(opened, "no part matches '" + options.part + "'");
  if (const int loaded = loadInputs(session, options, why); loaded != kExitOk) return loaded;
  if (requireCode)
    if (const int code = requireLoadedCode(session); code != kExitOk)
      return because(code, "the files held no data, the Code buffer is empty");
  if (const std::string wrong = session.applyOptions(options.options); !wrong.empty())
    return because(usageError(wrong), wrong);
  return kExitOk;
}

std::string reportRunFailure(ConsoleSession& session, const char* operation) {
  const RunReport& report = session.operations().adapter().runReport();
  const char* step = report.step.load();
  if (!step) return {};
  std::string line = std::string(operation) + " failed at " + step;
  if (report.failed()) line += ": " + report.answer;
  std::fprintf(stderr, "loomwrite-cli: %s\n", line.c_str());
  return line;
}

int refuseClashingOutputs(const Options& o) {
  const bool form = o.command == "kpj-form";
  std::vector<NamedFile> inputs, outputs;
  for (const InputFile& f : o.inputs) inputs.push_back({form ? "the project" : "the input", f.path});
  if (o.command == "kpj-save") outputs.push_back({"the project", o.output});
  else if (o.command == "read") outputs.push_back({"OUT", o.output});
  else outputs.push_back({"--out", o.output});
  outputs.push_back({form ? "--text" : "--form-text", o.form.text});
  outputs.push_back({form ? "--bmp" : "--form-bmp", o.form.bmp});
  outputs.push_back({form ? "--pdf" : "--form-pdf", o.form.pdf});
  // A log's file is an output; a server is not.
  std::string problem;
  const std::optional<StoreAddress> log = o.log.empty() ? std::nullopt : parseStoreAddress(o.log, problem);
  if (log && log->kind != StoreKind::kPostgresql) outputs.push_back({"--log", log->target});
  const std::string clash = cli::refuseClashingOutputs(inputs, outputs);
  return clash.empty() ? kExitOk : usageError(clash);
}

std::string hexBytes(const uint8_t* bytes, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += format(i ? " %02X" : "%02X", bytes[i]);
  return out;
}

int usageError(const std::string& message) {
  std::fprintf(stderr, "loomwrite-cli: %s\n", message.c_str());
  return kExitUsage;
}

int finish(const Options& options, JsonObject& json, int exitStatus, const ConsoleMessageBoxes* messages) {
  if (exitStatus != kExitOk && messages && messages->declined()) {
    std::fprintf(stderr, "loomwrite-cli: a question was answered Cancel/No; pass --yes to answer OK/Yes\n");
  }
  if (options.json) {
    json.add("ok", exitStatus == kExitOk).add("exit", static_cast<int64_t>(exitStatus));
    json.addStrings("messages", messages ? messages->lines() : std::vector<std::string>{});
    std::printf("%s\n", json.str().c_str());
  }
  std::fflush(stdout);
  return exitStatus;
}

}  // namespace lw::cli
