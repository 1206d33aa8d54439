#pragma once
// The rows waiting in the journal, sent on to their stores: by `log flush`
// (every store, or the one --log names) and by a run whose own row has just
// reached its store (that store's rows only, when no other run is at it).
#include <string>
#include <vector>

#include "core/ports/production_store_port.h"
#include "platform/posix/pending_journal.h"
#include "production/store_address.h"

namespace lw::cli {

struct FlushResult {
  std::size_t sent = 0;     // rows now in their store
  std::size_t pending = 0;  // rows still waiting (of the store asked for, when one was)
  std::size_t damaged = 0;  // journal lines that are no row (they are kept)
  std::vector<std::string> problems;  // per store that could not take its rows, and the journal's own
  bool busy = false;                  // another run held the journal (only when not waiting)
};

// only: send only the rows of this store (its address as given, password
// and all, is used to reach it); null: every store's. open: that store,
// already opened, when the caller has it. wait: for another run that holds
// the journal, else give up at once.
FlushResult flushPending(const PendingJournal& journal, const StoreAddress* only, ProductionStorePort* open, bool wait);

// "3 pending rows sent to X" and the like, for standard error; empty when
// there is nothing to say.
std::vector<std::string> describeFlush(const FlushResult& r, const PendingJournal& journal);

}  // namespace lw::cli
