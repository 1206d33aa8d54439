#pragma once
// The production log in a SQLite database: the embedded store for one
// station. Several processes (a gang's workers) write at once; each write
// is one transaction, waiting up to the busy time-out for another's lock.
#include <string>

#include "core/ports/production_store_port.h"
#include "platform/sqlite/sqlite_connection.h"

namespace lw {

class SqliteStore final : public ProductionStorePort {
 public:
  enum class Use { kWrite, kRead };  // kRead: the database must be there already
  SqliteStore(std::string path, Use use, int busyTimeoutMs = kDefaultBusyTimeoutMs);

  // How long a write waits for another process's lock before the row is
  // counted unreachable (and journaled).
  static constexpr int kDefaultBusyTimeoutMs = 10'000;

  StoreStatus open() override;
  StoreStatus add(const std::vector<ProductionRecord>& rows, Delivery delivery) override;
  StoreStatus select(const RecordFilter& filter, const std::function<bool(const ProductionRecord&)>& each) override;
  StoreStatus summarize(const RecordFilter& filter, SummaryKey by, std::vector<SummaryGroup>& groups) override;
  std::string serialNumbersRefused() const override { return {}; }
  StoreStatus takeSerial(const SerialClaim& claim, uint64_t& number) override;
  StoreStatus selectSerials(const std::string& pool, const std::function<bool(const SerialEntry&)>& each) override;

 private:
  std::string path_;
  Use use_;
  int busyTimeoutMs_;
  SqliteConnection db_;
};

}  // namespace lw
