#pragma once
// Where the production log's rows are kept: a CSV or JSON-lines file, a
// SQLite database or a PostgreSQL server. Each keeps one row per id, answers
// the same questions, and the two databases hand out serial numbers.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/production_query.h"
#include "core/production_record.h"

namespace lw {

struct StoreStatus {
  enum class Kind {
    kOk,
    kUnreachable,  // for now: server down, network gone, lock held too long, disk full
    kRefused,      // as it stands: no such directory, not a database, a newer schema, login refused
  };
  Kind kind = Kind::kOk;
  std::string why;  // never holds a password
  bool ok() const { return kind == Kind::kOk; }
  static StoreStatus unreachable(std::string why) { return {Kind::kUnreachable, std::move(why)}; }
  static StoreStatus refused(std::string why) { return {Kind::kRefused, std::move(why)}; }
};

// A serial number asked for: the next one of pool not below from, for the
// board whose row will carry rowId; refused once the pool is past highest.
struct SerialClaim {
  std::string pool;
  uint64_t from = 1;
  uint64_t highest = 0xFFFFFFFF;
  std::string rowId;
  std::string station;
  std::string adapter;
  std::string time;
};

class ProductionStorePort {
 public:
  virtual ~ProductionStorePort() = default;

  // Reaches the store and makes it ready (a database gets its schema, or
  // the schema's newer version). Called before anything else.
  virtual StoreStatus open() = 0;

  // kNew: rows just made, whose ids no store has seen. kReplay: rows from
  // the pending journal, which may have reached the store before (a write
  // that got there but was not confirmed).
  enum class Delivery { kNew, kReplay };

  // Adds the rows whose id the store does not hold yet, all or none. A
  // passed row that carries a serial number from a pool marks that number
  // used.
  virtual StoreStatus add(const std::vector<ProductionRecord>& rows, Delivery delivery) = 0;

  // Every row that matches, in the order they were added; each returns
  // false to stop. A file store passes over lines it cannot read and says
  // which in the status's why, the status still ok.
  virtual StoreStatus select(const RecordFilter& filter, const std::function<bool(const ProductionRecord&)>& each) = 0;
  // Passed and failed rows per key, ordered by key.
  virtual StoreStatus summarize(const RecordFilter& filter, SummaryKey by, std::vector<SummaryGroup>& groups) = 0;

  // Why this store hands out no serial numbers; empty when it does.
  virtual std::string serialNumbersRefused() const = 0;
  // Hands out the next number of a pool, recorded as spoiled until a
  // passed row carries it; two callers never get one number.
  virtual StoreStatus takeSerial(const SerialClaim& claim, uint64_t& number) = 0;
  // The numbers a pool handed out, in order.
  virtual StoreStatus selectSerials(const std::string& pool, const std::function<bool(const SerialEntry&)>& each) = 0;
};

}  // namespace lw
