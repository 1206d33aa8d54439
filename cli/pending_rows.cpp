#include "cli/pending_rows.h"

#include <map>

#include "cli/production_store_factory.h"
#include "core/text.h"

namespace lw::cli {

namespace {

std::string shownStore(const std::string& key) {
  std::string problem;
  const std::optional<StoreAddress> a = parseStoreAddress(key, problem);
  return a ? a->shown : key;
}

std::string rows(std::size_t n) { return std::to_string(n) + (n == 1 ? " row" : " rows"); }

}  // namespace

FlushResult flushPending(const PendingJournal& journal, const StoreAddress* only, ProductionStorePort* open, bool wait) {
  FlushResult result;
  const std::string why = journal.settle(
      wait,
      [&](const PendingJournal::Taken& taken) {
        result.damaged = taken.damaged;
        std::vector<bool> pending(taken.rows.size(), true);
        std::map<std::string, std::vector<std::size_t>> byStore;
        for (std::size_t i = 0; i < taken.rows.size(); ++i) byStore[taken.rows[i].store].push_back(i);
        for (const auto& [key, indexes] : byStore) {
          if (only && key != only->journalKey) continue;
          std::vector<ProductionRecord> records;
          for (const std::size_t i : indexes) records.push_back(taken.rows[i].record);
          std::unique_ptr<ProductionStorePort> made;
          ProductionStorePort* store = only ? open : nullptr;
          StoreStatus status;
          if (!store) {
            std::string problem;
            const std::optional<StoreAddress> address = only ? std::optional<StoreAddress>(*only) : parseStoreAddress(key, problem);
            if (!address) {
              result.problems.push_back(key + ": " + problem);
              continue;
            }
            made = makeProductionStore(*address, StoreUse::kWrite);
            status = made->open();
            store = made.get();
          }
          if (status.ok()) status = store->add(records, ProductionStorePort::Delivery::kReplay);
          if (!status.ok()) {
            result.problems.push_back(shownStore(key) + " " + status.why + " (" + rows(records.size()) + " still pending)");
            continue;
          }
          result.sent += records.size();
          for (const std::size_t i : indexes) pending[i] = false;
        }
        // With one store asked for, the others' rows are not counted as its pending ones.
        for (std::size_t i = 0; i < pending.size(); ++i)
          if (pending[i] && (!only || taken.rows[i].store == only->journalKey)) ++result.pending;
        return pending;
      },
      &result.busy);
  // Rows sent but still in a journal that could not be rewritten go again
  // next time; their ids keep them from being stored twice.
  if (!why.empty()) result.problems.push_back("the journal " + why);
  return result;
}

std::vector<std::string> describeFlush(const FlushResult& r, const PendingJournal& journal) {
  std::vector<std::string> lines;
  if (r.sent > 0) lines.push_back(rows(r.sent) + " from the journal delivered");
  for (const std::string& p : r.problems) lines.push_back(p);
  if (r.damaged > 0)
    lines.push_back(format("%zu line(s) of %s are no row; they are kept there", r.damaged, journal.path().c_str()));
  return lines;
}

}  // namespace lw::cli
