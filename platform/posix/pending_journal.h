#pragma once
// Rows that could not reach their store wait here until they can: one JSON
// line each ("log": the store, then the row's columns), in a file under the
// user's state directory. Each line is written whole and synced before the
// command goes on; taking rows out rewrites the file through a synced
// temporary file and a rename, under a lock every writer takes, so no row
// is lost or kept twice by two runs at once.
#include <functional>
#include <string>
#include <vector>

#include "core/production_record.h"

namespace lw {

struct PendingRow {
  std::string store;  // the store's journal key (production/store_address.h)
  ProductionRecord record;
};

class PendingJournal {
 public:
  // dir: where the journal lives; created (mode 0700) when first written.
  explicit PendingJournal(std::string dir);

  // $XDG_STATE_HOME/loomwrite, else $HOME/.local/state/loomwrite; empty
  // when neither is set.
  static std::string defaultDir();

  const std::string& path() const { return path_; }

  // Empty, or why the row could not be kept.
  std::string add(const PendingRow& row) const;

  struct Taken {
    std::vector<PendingRow> rows;  // in the order they were kept
    std::size_t damaged = 0;       // lines that are no row; they stay in the file
  };
  // Under the journal's lock (waited for, or, with wait false, given up at
  // once when another run holds it: then *busy): the rows are handed to
  // deliver, which returns for each whether it is still pending; the
  // journal then keeps only those (and the damaged lines). Empty, or why
  // the journal could not be read or rewritten (then it is left as it was).
  std::string settle(bool wait, const std::function<std::vector<bool>(const Taken&)>& deliver,
                     bool* busy = nullptr) const;

 private:
  std::string dir_, path_, lockPath_;
};

}  // namespace lw
