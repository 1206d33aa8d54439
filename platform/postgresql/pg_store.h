#pragma once
// The production log on a PostgreSQL server: one database for every station
// of a line. Serial numbers are handed out under the pool's row lock, so
// workers and stations never get one number twice.
#include <string>

#include "core/ports/production_store_port.h"
#include "platform/postgresql/pg_connection.h"

namespace lw {

class PostgresqlStore final : public ProductionStorePort {
 public:
  // uri: as --log gave it ("" for the PG* environment); password: the one
  // it carries, kept out of every message.
  PostgresqlStore(std::string uri, std::string password);

  StoreStatus open() override;
  StoreStatus add(const std::vector<ProductionRecord>& rows, Delivery delivery) override;
  StoreStatus select(const RecordFilter& filter, const std::function<bool(const ProductionRecord&)>& each) override;
  StoreStatus summarize(const RecordFilter& filter, SummaryKey by, std::vector<SummaryGroup>& groups) override;
  std::string serialNumbersRefused() const override { return {}; }
  StoreStatus takeSerial(const SerialClaim& claim, uint64_t& number) override;
  StoreStatus selectSerials(const std::string& pool, const std::function<bool(const SerialEntry&)>& each) override;

 private:
  PgConnection db_;
};

}  // namespace lw
