#pragma once
// One connection to a PostgreSQL server, statements with bound parameters
// only, and failures as store statuses: a server that cannot be reached, a
// connection lost, a lock waited for too long or a full disk are
// "unreachable" (the row waits in the journal); anything else, a login
// refused among them, is "refused". A connection lost (the server
// restarted) is made again once before a transaction counts as failed.
// No message carries the password.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/production_store_port.h"
#include "production/sql_rows.h"

struct pg_conn;
struct pg_result;

namespace lw {

// The rows of one statement's answer, as texts.
class PgResult {
 public:
  PgResult() = default;
  explicit PgResult(pg_result* r) : r_(r) {}
  ~PgResult();
  PgResult(PgResult&& other) noexcept : r_(other.r_) { other.r_ = nullptr; }
  PgResult& operator=(PgResult&& other) noexcept;
  PgResult(const PgResult&) = delete;
  PgResult& operator=(const PgResult&) = delete;
  int rows() const;
  // The rows an INSERT, UPDATE or DELETE touched.
  int affected() const;
  std::optional<std::string> text(int row, int column) const;
  pg_result* get() const { return r_; }

 private:
  pg_result* r_ = nullptr;
};

class PgConnection {
 public:
  // uri: a postgresql:// URI, or empty for the PG* environment alone.
  // password: the one the URI carries, to keep out of messages.
  PgConnection(std::string uri, std::string password);
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  StoreStatus connect();
  // Statements without parameters, several at once (a migration).
  StoreStatus runScript(const std::string& sql);
  // One statement; its answer in *out when given.
  StoreStatus run(const std::string& sql, const std::vector<SqlValue>& values = {}, PgResult* out = nullptr);
  // BEGIN, the work, COMMIT (ROLLBACK when it fails); once more on a new
  // connection when the connection was lost, so the work must be safe to
  // repeat.
  StoreStatus transaction(const std::function<StoreStatus()>& work);
  // The answer's rows one at a time, as they come; each returns false to
  // stop (the rest is read and dropped).
  StoreStatus stream(const std::string& sql, const std::vector<SqlValue>& values,
                     const std::function<bool(const PgResult& row)>& each);

 private:
  StoreStatus failure(pg_result* r) const;
  StoreStatus connectionFailure() const;
  bool lost() const;
  std::string uri_, password_;
  pg_conn* conn_ = nullptr;
};

}  // namespace lw
