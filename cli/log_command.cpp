// log find | summary | export | serials | flush: the production log read
// back, whatever store holds it, and the rows waiting in the journal sent on.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/pending_rows.h"
#include "cli/production_store_factory.h"
#include "core/text.h"
#include "platform/posix/pending_journal.h"
#include "production/record_query.h"
#include "production/record_text.h"
#include "production/store_address.h"

namespace lw::cli {

namespace {

void say(const std::string& line) { std::fprintf(stderr, "loomwrite-cli: %s\n", line.c_str()); }

RecordFilter filterOf(const LogQuery& q) {
  RecordFilter f;
  f.serial = q.serial;
  f.serialString = q.serialString;
  f.imageSha256 = q.image.value_or("");
  f.since = q.since;
  f.command = q.command;
  return f;
}

// "2026-12-07T15:04:05Z  station-a  program  fail  Larch-F8U6  usb:1-2 (LW-7)  serial 00001234 \"LINE\"  image 3a7bd3e2c1f0: why"
std::string rowText(const ProductionRecord& r) {
  std::string line = r.time + "  " + r.station + "  " + r.command + "  " + (r.pass ? "pass" : "fail") + "  " +
                     r.part + "  " + r.adapter;
  if (!r.adapterSerial.empty()) line += " (" + r.adapterSerial + ")";
  if (!r.serialNumber.empty()) line += "  serial " + r.serialNumber;
  if (!r.serialString.empty()) line += " \"" + r.serialString + "\"";
  if (!r.imageSha256.empty()) line += "  image " + r.imageSha256.substr(0, 12);
  if (!r.pass) line += ": " + (r.failurePhase.empty() ? "" : r.failurePhase + ": ") + r.message;
  return line;
}

std::string rowJson(const ProductionRecord& r) {
  JsonObject json;
  addRecordFields(json, r);
  return json.str();
}

// The store --log names, opened for reading; null after saying why not.
std::unique_ptr<ProductionStorePort> openForReading(const StoreAddress& address, JsonObject& json) {
  auto store = makeProductionStore(address, StoreUse::kRead);
  const StoreStatus opened = store->open();
  if (opened.ok()) return store;
  say("the production log " + address.shown + " " + opened.why);
  json.add("log_error", address.shown + " " + opened.why);
  return nullptr;
}

// Lines the store passed over are said, not hidden.
int ended(const StoreAddress& address, const StoreStatus& s, JsonObject& json, int status) {
  if (!s.why.empty()) say("the production log " + address.shown + ": " + s.why);
  if (s.ok()) return status;
  json.add("log_error", address.shown + " " + s.why);
  return kExitFailed;
}

int find(const Options& o, const StoreAddress& address, ProductionStorePort& store, JsonObject& json) {
  std::vector<std::string> items;
  std::size_t found = 0;
  const StoreStatus s = store.select(filterOf(o.query), [&](const ProductionRecord& r) {
    ++found;
    if (o.json) items.push_back(rowJson(r));
    else std::printf("%s\n", rowText(r).c_str());
    return true;
  });
  json.addRaw("rows", jsonArray(items)).add("count", static_cast<int64_t>(found));
  // As grep: a search that finds nothing ends with status 1.
  if (found == 0 && s.ok()) say("no row matches");
  return ended(address, s, json, found == 0 ? kExitFailed : kExitOk);
}

int summary(const Options& o, const StoreAddress& address, ProductionStorePort& store, JsonObject& json) {
  const SummaryKey by = o.query.by.empty() ? SummaryKey::kAll : *summaryKeyNamed(o.query.by);
  std::vector<SummaryGroup> groups;
  const StoreStatus s = store.summarize(filterOf(o.query), by, groups);
  SummaryGroup total{"all", 0, 0};
  for (const SummaryGroup& g : groups) {
    total.passed += g.passed;
    total.failed += g.failed;
  }
  if (by != SummaryKey::kAll) groups.push_back(total);
  if (groups.empty()) groups.push_back(total);
  auto yieldText = [](const SummaryGroup& g) { return format("%.1f%%", 100.0 * yieldOf(g)); };
  if (!o.json) {
    std::size_t width = std::string(summaryKeyName(by)).size();
    for (const SummaryGroup& g : groups) width = std::max(width, g.key.size());
    const int w = static_cast<int>(width);
    std::printf("%-*s  %8s  %8s  %7s\n", w, summaryKeyName(by), "passed", "failed", "yield");
    for (const SummaryGroup& g : groups)
      std::printf("%-*s  %8llu  %8llu  %7s\n", w, g.key.c_str(), static_cast<unsigned long long>(g.passed),
                  static_cast<unsigned long long>(g.failed), yieldText(g).c_str());
  }
  std::vector<std::string> items;
  for (std::size_t i = 0; i + (by != SummaryKey::kAll ? 1 : 0) < groups.size(); ++i)
    items.push_back(JsonObject()
                        .add("key", groups[i].key)
                        .add("passed", static_cast<int64_t>(groups[i].passed))
                        .add("failed", static_cast<int64_t>(groups[i].failed))
                        .addRaw("yield", format("%.4f", yieldOf(groups[i])))
                        .str());
  json.add("by", summaryKeyName(by))
      .addRaw("groups", jsonArray(items))
      .add("passed", static_cast<int64_t>(total.passed))
      .add("failed", static_cast<int64_t>(total.failed))
      .addRaw("yield", format("%.4f", yieldOf(total)));
  return ended(address, s, json, kExitOk);
}

// CSV (every column) or JSON lines on standard output; no result object.
int exportRows(const Options& o, const StoreAddress& address, ProductionStorePort& store) {
  if (!o.json) std::fputs(csvHeader().c_str(), stdout);
  const StoreStatus s = store.select(filterOf(o.query), [&](const ProductionRecord& r) {
    std::fputs((o.json ? jsonLine(r) : csvLine(r)).c_str(), stdout);
    return true;
  });
  std::fflush(stdout);
  JsonObject ignored;
  return ended(address, s, ignored, kExitOk);
}

int serials(const Options& o, const StoreAddress& address, ProductionStorePort& store, JsonObject& json) {
  std::vector<std::string> items;
  uint64_t used = 0, spoiled = 0;
  const StoreStatus s = store.selectSerials(o.serial.pool, [&](const SerialEntry& e) {
    ++(e.state == "used" ? used : spoiled);
    if (o.json)
      items.push_back(JsonObject()
                          .add("number", format("%08llX", static_cast<unsigned long long>(e.number)))
                          .add("state", e.state)
                          .add("station", e.station)
                          .add("adapter", e.adapter)
                          .add("time", e.time)
                          .add("row_id", e.rowId)
                          .str());
    else
      std::printf("%08llX  %-7s  %s  %s  %s  %s\n", static_cast<unsigned long long>(e.number), e.state.c_str(),
                  e.time.c_str(), e.station.c_str(), e.adapter.c_str(), e.rowId.c_str());
    return true;
  });
  json.add("pool", o.serial.pool)
      .addRaw("numbers", jsonArray(items))
      .add("used", static_cast<int64_t>(used))
      .add("spoiled", static_cast<int64_t>(spoiled));
  if (!o.json) std::printf("%llu used, %llu spoiled\n", static_cast<unsigned long long>(used),
                           static_cast<unsigned long long>(spoiled));
  return ended(address, s, json, kExitOk);
}

int flush(const Options& o, const StoreAddress* only, JsonObject& json) {
  const PendingJournal journal(PendingJournal::defaultDir());
  const FlushResult r = flushPending(journal, only, nullptr, true);
  for (const std::string& line : describeFlush(r, journal)) say(line);
  if (!o.json) std::printf("%zu sent, %zu still pending\n", r.sent, r.pending);
  json.add("journal", journal.path())
      .add("sent", static_cast<int64_t>(r.sent))
      .add("pending", static_cast<int64_t>(r.pending))
      .add("damaged", static_cast<int64_t>(r.damaged))
      .addStrings("problems", r.problems);
  return r.pending == 0 && r.problems.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int runLog(const Options& o) {
  JsonObject json;
  json.add("command", "log " + o.query.action);
  std::string problem;
  const std::optional<StoreAddress> address = o.log.empty() ? std::nullopt : parseStoreAddress(o.log, problem);
  if (o.query.action == "flush") return finish(o, json, flush(o, address ? &*address : nullptr, json), nullptr);
  json.add("log", address->shown);
  const auto store = openForReading(*address, json);
  if (!store) return finish(o, json, kExitFailed, nullptr);
  if (o.query.action == "export") return exportRows(o, *address, *store);
  const int status = o.query.action == "find"      ? find(o, *address, *store, json)
                     : o.query.action == "summary" ? summary(o, *address, *store, json)
                                                   : serials(o, *address, *store, json);
  return finish(o, json, status, nullptr);
}

}  // namespace lw::cli
