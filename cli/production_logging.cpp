#include "cli/production_logging.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "cli/command_support.h"
#include "cli/pending_rows.h"
#include "cli/production_store_factory.h"
#include "core/byte_sum.h"
#include "core/ids/main_dialog_ids.h"
#include "core/sha256.h"
#include "core/text.h"
#include "link/adapter_operations.h"
#include "platform/hid/hid_api.h"
#include "platform/posix/pending_journal.h"
#include "production/record_text.h"
#include "production/row_id.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"

namespace lw::cli {

namespace {

std::string hostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == 0) return "unknown";
  return name;
}

// The USB serial number of the adapter the run opened; empty when it has
// none or none was opened.
std::string openedAdapterSerial() {
  char place[1024] = {};
  if (lw_hid_last_place(place, sizeof place) == 0 || place[0] == 0) return {};
  std::vector<lw_hid_place_info> offered(64);
  const int n = lw_hid_enumerate_places(offered.data(), static_cast<int>(offered.size()));
  for (int i = 0; i < n && i < static_cast<int>(offered.size()); ++i)
    if (std::string(offered[i].place) == place) return offered[i].serial;
  return {};
}

void say(const std::string& line) { std::fprintf(stderr, "loomwrite-cli: %s\n", line.c_str()); }

}  // namespace

std::string utcTimestamp(std::time_t when) {
  std::tm parts{};
  gmtime_r(&when, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

RowFate deliverRow(const StoreAddress& address, ProductionStorePort* open, const ProductionRecord& record,
                   std::string* noteKey, std::string* noteText) {
  std::unique_ptr<ProductionStorePort> made;
  StoreStatus status;
  if (!open) {
    made = makeProductionStore(address, StoreUse::kWrite);
    status = made->open();
    open = made.get();
  }
  if (status.ok()) status = open->add({record}, ProductionStorePort::Delivery::kNew);
  if (status.ok()) return RowFate::kStored;
  return keepRow(address, status, record, noteKey, noteText);
}

RowFate keepRow(const StoreAddress& address, const StoreStatus& status, const ProductionRecord& record,
                std::string* noteKey, std::string* noteText) {
  const PendingJournal journal(PendingJournal::defaultDir());
  const std::string kept = journal.add({address.journalKey, record});
  if (kept.empty()) {
    say("the production log " + address.shown + " " + status.why + "; the board's row is pending in " +
        journal.path() + " and goes with the next run or 'loomwrite-cli log flush'");
    if (noteKey) *noteKey = "log_pending";
    if (noteText) *noteText = address.shown + " " + status.why;
    return RowFate::kPending;
  }
  say("the production log " + address.shown + " " + status.why + ", and the journal " + kept + "; " +
      (record.pass ? "the target was programmed all the same" : "the job had already run and failed") +
      ", but its record is missing");
  if (noteKey) *noteKey = "log_error";
  if (noteText) *noteText = address.shown + " " + status.why;
  return RowFate::kLost;
}

ProductionLog::ProductionLog(const Options& options)
    : options_(options), rowId_(newRowId()), started_(std::chrono::steady_clock::now()) {
  std::string problem;
  if (!options.log.empty()) address_ = parseStoreAddress(options.log, problem);
  const char* run = std::getenv("LOOMWRITE_RUN_ID");
  runId_ = run && *run ? run : newRowId();
  station_ = options.station.empty() ? hostName() : options.station;
}

ProductionStorePort* ProductionLog::store(std::string* why) {
  if (!enabled()) return nullptr;
  if (!opened_.ok()) {
    store_ = makeProductionStore(*address_, StoreUse::kWrite);
    opened_ = store_->open();
  }
  if (why) *why = opened_.why;
  return opened_.ok() ? store_.get() : nullptr;
}

int ProductionLog::check(JsonObject& json, bool needsSerialNumbers, bool sayUnreachable) {
  if (!enabled()) return kExitOk;
  std::string why;
  if (store(&why)) return kExitOk;
  if (opened_.kind == StoreStatus::Kind::kUnreachable && !needsSerialNumbers) {
    if (sayUnreachable)
      say("the production log " + address_->shown + " " + why + "; the rows of this run wait in the journal");
    return kExitOk;
  }
  json.add("log_error", address_->shown + " " + why);
  say("the production log " + address_->shown + " " + why + "; nothing was programmed" +
      (needsSerialNumbers ? " (no serial number can be handed out without it)" : ""));
  return kExitFailed;
}

void ProductionLog::setImage(const std::vector<uint8_t>& image) {
  imageSha256_ = image.empty() ? std::string() : sha256Hex(image.data(), image.size());
}

void ProductionLog::setSerial(std::string digits, std::string pool) {
  serialDigits_ = std::move(digits);
  serialPool_ = std::move(pool);
}

ProductionRecord ProductionLog::record(ConsoleSession* session, int exitStatus, const std::string& why) const {
  ProductionRecord r;
  r.id = rowId_;
  r.command = options_.command;
  r.station = station_;
  r.operatorName = options_.operatorName;
  r.runId = runId_;
  r.adapter = adapterPlace(options_);
  r.adapterSerial = openedAdapterSerial();
  // The part list stays open until a part is fixed for the name given; a
  // name that matched nothing is logged as typed.
  const bool partFixed = session && !session->main().dialog().isEnabled(mainid::kPart);
  r.part = partFixed || (session && options_.part.empty()) ? session->partName() : options_.part;
  if (session) {
    const std::vector<uint8_t> code = session->codeBuffer();
    r.size = code.size();
    r.checksum = codeChecksum(code.data(), code.size());
    r.imageSha256 = imageSha256_ ? *imageSha256_ : code.empty() ? std::string() : sha256Hex(code.data(), code.size());
  }
  r.serialNumber = serialDigits_;
  r.serialPool = serialPool_;
  r.pass = exitStatus == kExitOk;
  if (!r.pass) {
    const std::vector<std::string> none;
    const std::vector<std::string>& lines = session ? session->messages().lines() : none;
    r.message = !why.empty()       ? why
                : !lines.empty()   ? lines.back()
                                   : format("failed with exit status %d", exitStatus);
    const char* step = session ? session->operations().adapter().runReport().step.load() : nullptr;
    r.failurePhase = step ? step : "before the adapter";
  }
  r.durationMs = static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_).count());
  return withValidUtf8(std::move(r));
}

int ProductionLog::deliver(JsonObject& json, ProductionRecord record, int exitStatus) {
  if (!enabled()) return exitStatus;
  if (record.time.empty()) record.time = utcTimestamp(std::time(nullptr));
  std::string key, note;
  ProductionStorePort* reached = store();
  const RowFate fate = reached ? deliverRow(*address_, reached, record, &key, &note)
                               : keepRow(*address_, opened_, record, &key, &note);
  if (fate != RowFate::kStored) json.add(key, note);
  if (fate == RowFate::kLost) return exitStatus == kExitOk ? kExitFailed : exitStatus;
  if (fate == RowFate::kStored) {
    // The store is there: rows an earlier run left waiting for it go too,
    // unless another run is sending them already.
    const PendingJournal journal(PendingJournal::defaultDir());
    const FlushResult sent = flushPending(journal, &*address_, store_.get(), false);
    for (const std::string& line : describeFlush(sent, journal)) say(line);
  }
  return exitStatus;
}

}  // namespace lw::cli
