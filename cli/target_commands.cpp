// read, verify, erase and blank-check: the window menu's target operations
// on an adapter's target, run as program runs Update Target (the same
// adapter check, messages, production log and --json result).
#include <cstdio>
#include <filesystem>
#include <functional>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/job_interrupts.h"
#include "cli/job_start.h"
#include "cli/production_logging.h"
#include "core/byte_sum.h"
#include "core/ids/language_keys.h"
#include "core/text.h"
#include "image/image_file_writer.h"
#include "link/adapter_operations.h"
#include "ui/main/main_window_host.h"

namespace lw::cli {

namespace {

namespace fs = std::filesystem;

// As in program: a firmware update the adapter check started may take a while to report.
constexpr int kResultWaitMs = 30'000;

struct TargetJob {
  const char* operation = "";  // its name in the window ("Read Target"), for the failure line
  bool loadsFiles = false;  // verify: the files go into the Code buffer first
  // Before anything is touched: why the command cannot run (a usage error), or "".
  std::function<std::string(const Options&)> refuse;
  uint16_t okKey = 0;       // the box that says the operation passed
  std::function<void(ConsoleSession&, const Options&)> run;
  // After the run: adds what it found to the result and may fail a run that
  // passed (read: the file could not be written); returns the exit status,
  // with the reason in *why.
  std::function<int(ConsoleSession&, const Options&, JsonObject&, int status, std::string* why)> report;
};

AdapterOperations& adapterOf(ConsoleSession& session) { return session.operations().adapter(); }

int runTargetJob(const Options& o, const TargetJob& job) {
  JsonObject json;
  json.add("command", o.command);
  if (job.refuse)
    if (const std::string wrong = job.refuse(o); !wrong.empty()) return finish(o, json, usageError(wrong), nullptr);
  ProductionLog log(o);
  if (const int refused = refuseBeforeJob(o, json, log, false); refused != kExitOk) return refused;
  JobInterrupts interrupts(o, log);
  if (const int chosen = selectJobAdapter(o, json, log, interrupts); chosen != kExitOk) return chosen;
  ConsoleSession session(sessionSetupFor(o));
  ConsoleMessageBoxes& messages = session.messages();
  auto end = [&](int status, const std::string& why) {
    interrupts.ending();
    return finish(o, json, log.deliver(json, log.record(&session, status, why), status), &messages);
  };
  std::string why;
  if (const int ready = prepareAdapterJob(session, o, job.loadsFiles, &why); ready != kExitOk) return end(ready, why);
  const PartRecord& part = session.context().state.part;
  if (o.size && *o.size > part.flashSize) {
    const std::string wrong = format("--size %u: %s has %u bytes of flash", *o.size, session.partName().c_str(),
                                     part.flashSize);
    return end(usageError(wrong), wrong);
  }
  json.add("part", session.partName());
  interrupts.know(log.record(&session, kExitFailed, ""));
  interrupts.follow(&adapterOf(session).runReport());

  job.run(session, o);
  session.settleFirmwareUpdate(kResultWaitMs);

  const int status = messages.shown(session.languageText(job.okKey)) ? kExitOk : kExitFailed;
  if (!messages.lines().empty()) json.add("result", messages.lines().back());
  why.clear();
  if (status != kExitOk) {
    why = reportRunFailure(session, job.operation);
    if (!why.empty()) json.add("failure", why);
  }
  const int reported = job.report ? job.report(session, o, json, status, &why) : status;
  return end(reported, why);
}

// The first differences as JSON: [{"offset":16,"buffer":32,"target":33},...].
std::string differencesJson(const FlashComparison& c) {
  std::vector<std::string> items;
  for (const ByteDifference& d : c.first)
    items.push_back(JsonObject()
                        .add("offset", static_cast<int64_t>(d.offset))
                        .add("buffer", static_cast<int64_t>(d.expected))
                        .add("target", static_cast<int64_t>(d.found))
                        .str());
  return jsonArray(items);
}

}  // namespace

int runRead(const Options& o) {
  TargetJob job;
  job.operation = "Read Target";
  // A file that could never be written is refused before the target is read.
  job.refuse = [](const Options& opts) -> std::string {
    const fs::path dir = fs::path(opts.output).parent_path();
    std::error_code ec;
    if (!dir.empty() && !fs::is_directory(dir, ec)) return "read '" + opts.output + "': no directory " + dir.string();
    return {};
  };
  job.okKey = textkey::kReadTargetOk;
  job.run = [](ConsoleSession& s, const Options& opts) { adapterOf(s).readTarget(opts.size.value_or(0)); };
  job.report = [](ConsoleSession& s, const Options& opts, JsonObject& json, int status, std::string* why) {
    if (status != kExitOk) return status;
    // What the window shows in its hex view is what goes into the file.
    const std::vector<uint8_t> bytes = s.codeBuffer();
    json.add("size", static_cast<int64_t>(bytes.size()))
        .add("checksum", static_cast<int64_t>(codeChecksum(bytes.data(), bytes.size())));
    const FileReplaceResult written = writeImageFile(opts.output, bytes, *opts.outputFormat);
    if (!written.ok) {
      *why = opts.output + ": cannot be written: " + written.detail;
      std::fprintf(stderr, "loomwrite-cli: %s\n", why->c_str());
      return kExitFailed;
    }
    json.add("out", opts.output);
    if (!opts.json) std::printf("%s\n%s\n", s.sizeText().c_str(), s.checksumText().c_str());
    return kExitOk;
  };
  return runTargetJob(o, job);
}

int runVerify(const Options& o) {
  TargetJob job;
  job.operation = "Verify Target";
  job.loadsFiles = true;
  job.okKey = textkey::kVerifyTargetOk;
  job.run = [](ConsoleSession& s, const Options& opts) {
    if (!opts.json) std::printf("%s\n%s\n", s.sizeText().c_str(), s.checksumText().c_str());
    std::fflush(stdout);
    adapterOf(s).verifyTarget();
  };
  job.report = [](ConsoleSession& s, const Options&, JsonObject& json, int status, std::string*) {
    const std::vector<uint8_t> bytes = s.codeBuffer();
    json.add("size", static_cast<int64_t>(bytes.size()))
        .add("checksum", static_cast<int64_t>(codeChecksum(bytes.data(), bytes.size())));
    const TargetFindings& found = adapterOf(s).targetFindings();
    if (found.readDone)
      json.add("differing_bytes", static_cast<int64_t>(found.comparison.differing))
          .addRaw("differences", differencesJson(found.comparison));
    return status;
  };
  return runTargetJob(o, job);
}

int runErase(const Options& o) {
  TargetJob job;
  job.operation = "Erase Target";
  job.okKey = textkey::kEraseTargetOk;
  job.run = [](ConsoleSession& s, const Options&) { adapterOf(s).eraseTarget(); };
  return runTargetJob(o, job);
}

int runBlankCheck(const Options& o) {
  TargetJob job;
  job.operation = "Blank Check";
  job.okKey = textkey::kTargetBlank;
  job.run = [](ConsoleSession& s, const Options&) { adapterOf(s).blankCheck(); };
  job.report = [](ConsoleSession& s, const Options&, JsonObject& json, int status, std::string*) {
    const TargetFindings& found = adapterOf(s).targetFindings();
    if (found.readDone) {
      json.add("blank", !found.firstNonBlank.has_value());
      if (found.firstNonBlank) json.add("first_non_blank", static_cast<int64_t>(*found.firstNonBlank));
    }
    return status;
  };
  return runTargetJob(o, job);
}

}  // namespace lw::cli
