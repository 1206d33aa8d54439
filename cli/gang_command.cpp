// gang program / program-adapter / verify / erase / blank-check: the same
// job on several adapters at once. The Link library holds one adapter per process, so every adapter
// gets a worker process of its own (this tool, with --adapter naming only
// that adapter); a failing, vanishing or hanging adapter ends only its own
// worker. The job is checked here once first, so that a bad file, part or
// option name stops the gang before any board is touched.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/adapter_list.h"
#include "cli/board_serial.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/gang_table.h"
#include "cli/interrupt_watch.h"
#include "cli/production_logging.h"
#include "cli/worker_process.h"
#include "core/text.h"
#include "platform/hid/adapter_choice.h"
#include "production/row_id.h"

namespace lw::cli {

namespace {

using namespace std::chrono_literals;

// Longer than any one job takes (a firmware update and a full flash at
// full-speed USB timing take well under a minute); a worker still running
// then is stopped and its adapter counted failed.
constexpr auto kWorkerLimit = 600s;
constexpr auto kRedrawEvery = 200ms;
// An interrupted worker logs its board and ends at once; this only bounds
// the wait for one that does not.
constexpr auto kInterruptGrace = 5s;

std::vector<std::string> splitItems(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!item.empty()) items.push_back(item);
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

// The adapter an item names among those offered, or nothing.
const AdapterEntry* findOffered(const std::vector<AdapterEntry>& offered, const std::string& place) {
  for (const AdapterEntry& a : offered)
    if (a.place == place || (!a.node.empty() && "usb:" + a.node == place)) return &a;
  return nullptr;
}

// The places of the emulated adapters --adapter (or LOOMWRITE_ADAPTER)
// names, in order; none for USB.
std::vector<std::string> namedEmulatorPlaces(const Options& o) {
  const char* environment = std::getenv("LOOMWRITE_ADAPTER");
  const std::string spec = !o.adapter.empty() ? o.adapter : environment ? environment : "";
  std::string problem;
  const auto choice = hid::parseAdapterChoice(spec, problem);
  std::vector<std::string> places;
  if (choice && choice->bus == hid::AdapterChoice::Bus::kEmulator)
    for (const std::string& dir : choice->emulatorDirs) places.push_back(hid::emulatorPlace(dir));
  return places;
}

// A worker's own line without the "loomwrite-cli: " every such line starts with.
std::string withoutToolName(const std::string& line) {
  constexpr std::string_view kTool = "loomwrite-cli: ";
  return line.rfind(kTool, 0) == 0 ? line.substr(kTool.size()) : line;
}

// A worker that ended normally printed its result object as the last line
// of its standard output, after its progress lines; nothing otherwise.
std::string resultObject(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  const std::size_t start = text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1;
  const std::string last = text.substr(start);
  const bool object = last.size() >= 2 && last.front() == '{' && last.back() == '}';
  return object && last.rfind("{\"event\":", 0) != 0 ? last : std::string();
}

// What a worker that ended on its own came to: its last line; for a board
// that passed, its last box ("Pass !: ..."), not a line about its log row
// after it, which the outcome only mentions.
std::string outcomeOf(const GangRow& row, bool passed) {
  if (!passed) return withoutToolName(row.messages.back());
  std::string box;
  bool pending = false;
  for (const std::string& m : row.messages) {
    if (m.rfind("loomwrite-cli: ", 0) != 0) box = m;
    pending = pending || m.find("the board's row is pending") != std::string::npos;
  }
  if (box.empty()) return withoutToolName(row.messages.back());
  return pending ? box + "; its log row is pending" : box;
}

// A text member of the worker's result object ("serial_number"); empty when none.
std::string resultText(const std::string& out, const std::string& key) {
  const std::string object = resultObject(out);
  const std::string marker = "\"" + key + "\":\"";
  const std::size_t at = object.find(marker);
  if (at == std::string::npos) return {};
  const std::size_t start = at + marker.size();
  const std::size_t end = object.find('"', start);
  return end == std::string::npos ? std::string() : object.substr(start, end - start);
}

}  // namespace

int runGang(const Options& o) {
  const std::string job = o.command.substr(std::string_view("gang-").size());  // the workers' command
  // An empty Code buffer is programmed only when asked for by name; verify
  // needs something to compare; erase and blank-check load nothing.
  const bool requireCode = (job == "program" && !o.optionsOnly) || job == "verify";
  JsonObject json;
  json.add("command", "gang " + job);
  if (const int clash = refuseClashingOutputs(o); clash != kExitOk) return finish(o, json, clash, nullptr);
  ProductionLog log(o);
  if (const int logged = log.check(json, o.serial.at.has_value(), true); logged != kExitOk)
    return finish(o, json, logged, nullptr);
  // From here on a Ctrl-C is taken in turn: none is lost while the job is
  // checked and the workers are started.
  InterruptSignals interrupts;
  if (!selectAdapter(o)) return finish(o, json, kExitUsage, nullptr);
  SessionSetup quiet = sessionSetupFor(o);
  quiet.progress = ProgressStyle::None;
  ConsoleSession check(quiet);
  if (const int ready = prepareAdapterJob(check, o, requireCode); ready != kExitOk)
    return finish(o, json, ready, &check.messages());
  if (const std::string wrong = serialPlaceProblem(o.serial, check.context().state.part.flashSize, check.partName());
      !wrong.empty())
    return finish(o, json, usageError(wrong), nullptr);

  // The places to program, each once, in the order given (all: as offered).
  const std::vector<AdapterEntry> offered = listAdapters();
  std::vector<GangRow> rows;
  std::vector<std::string> workerPlaces;  // empty for an adapter that is not there
  auto addRow = [&](const std::string& place, const AdapterEntry* found) {
    const std::string chosen = found ? found->place : place;
    for (const GangRow& r : rows)
      if (r.place == chosen) return;
    GangRow row;
    row.place = chosen;
    if (!found) {
      row.state = GangRow::State::kFailed;
      row.outcome = "no adapter at " + place;
    }
    rows.push_back(row);
    workerPlaces.push_back(found ? found->place : "");
  };
  if (o.gangAdapters == "all") {
    // Emulated adapters are named one by one: one that is not on offer
    // (its state directory cannot be used) fails its own row.
    for (const std::string& place : namedEmulatorPlaces(o)) addRow(place, findOffered(offered, place));
    for (const AdapterEntry& a : offered) addRow(a.place, &a);
  } else {
    for (const std::string& item : splitItems(o.gangAdapters)) {
      const std::string place = placeOfItem(item);
      addRow(place, findOffered(offered, place));
    }
  }
  if (rows.empty()) {
    std::fprintf(stderr, "loomwrite-cli: no adapter found\n");
    return finish(o, json, kExitFailed, nullptr);
  }

  std::vector<std::vector<std::string>> argLists;
  std::vector<std::size_t> rowOfWorker;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (workerPlaces[i].empty()) continue;
    std::vector<std::string> args{"--adapter", workerPlaces[i], "--json", "--progress"};
    args.insert(args.end(), o.workerArgs.begin(), o.workerArgs.end());
    argLists.push_back(std::move(args));
    rowOfWorker.push_back(i);
    rows[i].state = GangRow::State::kRunning;
  }

  GangDisplay display(stderr, ::isatty(STDERR_FILENO) != 0, o.progress);
  const WorkerRules rules{kWorkerLimit, kRedrawEvery, kInterruptGrace};
  int interruptedBy = 0;
  WorkerCallbacks callbacks;
  callbacks.onLine = [&](std::size_t worker, const std::string& line) { takeWorkerLine(rows[rowOfWorker[worker]], line); };
  callbacks.onOutLine = [&](std::size_t worker, const std::string& line) {
    takeWorkerOutput(rows[rowOfWorker[worker]], line);
  };
  callbacks.onTick = [&] { display.draw(rows); };
  callbacks.onInterrupt = [&](int signal, bool again, std::size_t running) {
    interruptedBy = signal;
    if (running == 0)
      std::fprintf(stderr, "loomwrite-cli: %s: no board is started\n", signalName(signal));
    else if (again)
      std::fprintf(stderr, "loomwrite-cli: %s again: the workers are stopped at once\n", signalName(signal));
    else
      std::fprintf(stderr, "loomwrite-cli: %s: passed on to the workers, which get up to %lld s to end\n",
                   signalName(signal), static_cast<long long>(kInterruptGrace.count()));
  };
  // The workers' rows carry the gang's run id.
  ::setenv("LOOMWRITE_RUN_ID", log.runId().c_str(), 1);
  const std::vector<WorkerResult> results = runWorkers(programPath(), argLists, rules, callbacks, interrupts);
  if (interruptedBy != 0) json.add("interrupted", signalName(interruptedBy));

  for (std::size_t w = 0; w < results.size(); ++w) {
    GangRow& row = rows[rowOfWorker[w]];
    const WorkerResult& r = results[w];
    const bool passed = r.started && !r.timedOut && r.signal == 0 && r.exitStatus == kExitOk;
    row.state = passed ? GangRow::State::kPassed : GangRow::State::kFailed;
    const bool endedOnItsOwn = r.started && !r.timedOut && r.signal == 0;
    row.outcome = endedOnItsOwn && !row.messages.empty() ? outcomeOf(row, passed) : describeEnd(r, rules);
    if (const std::string serial = resultText(r.out, "serial_number"); !serial.empty())
      row.outcome += " (serial 0x" + serial + ")";
  }
  display.draw(rows);

  // Every worker that ran to its end logged its own target; a board whose
  // worker never started, was stopped or crashed gets its line here.
  for (std::size_t i = 0, w = 0; i < rows.size(); ++i) {
    const WorkerResult* r = workerPlaces[i].empty() ? nullptr : &results[w++];
    if (r && r->started && !r->timedOut && r->signal == 0) continue;
    ProductionRecord record = log.record(&check, kExitFailed, rows[i].outcome);
    record.id = newRowId();
    record.command = job;
    record.adapter = rows[i].place;
    record.failurePhase = !r ? "before the adapter" : rows[i].phase.empty() ? "worker start" : rows[i].phase;
    // Such a row fails the gang whether or not it could be kept.
    log.deliver(json, record, kExitFailed);
  }

  std::size_t passed = 0;
  std::vector<std::string> items;
  for (std::size_t i = 0, w = 0; i < rows.size(); ++i) {
    const GangRow& row = rows[i];
    const bool ok = row.state == GangRow::State::kPassed;
    passed += ok ? 1 : 0;
    JsonObject item;
    item.add("place", row.place).add("ok", ok).add("outcome", row.outcome).addStrings("messages", row.messages);
    if (!workerPlaces[i].empty()) {
      const WorkerResult& r = results[w++];
      item.add("exit", static_cast<int64_t>(r.exitStatus));
      if (const std::string result = resultObject(r.out); !result.empty()) item.addRaw("result", result);
    }
    items.push_back(item.str());
  }
  json.addRaw("adapters", jsonArray(items))
      .add("passed", static_cast<int64_t>(passed))
      .add("failed", static_cast<int64_t>(rows.size() - passed));

  if (!o.json) {
    // Each adapter's messages apart from the others', then one line each.
    for (const GangRow& row : rows) {
      std::fprintf(stderr, "--- %s\n", row.place.c_str());
      for (const std::string& m : row.messages) std::fprintf(stderr, "  %s\n", m.c_str());
    }
    std::size_t width = 0;
    for (const GangRow& row : rows) width = std::max(width, row.place.size());
    for (const GangRow& row : rows) {
      const bool ok = row.state == GangRow::State::kPassed;
      std::printf("%-*s  %s  %s\n", static_cast<int>(width), row.place.c_str(), ok ? "PASS" : "FAIL", row.outcome.c_str());
    }
    std::printf("%zu of %zu passed\n", passed, rows.size());
  }
  return finish(o, json, passed == rows.size() ? kExitOk : kExitFailed, nullptr);
}

}  // namespace lw::cli
