#pragma once
// One connection to a SQLite database and its statements, each closed by
// its destructor; failures as store statuses: a lock held past the busy
// time-out, a full disk or an I/O error are "unreachable" (the row waits in
// the journal), anything else is "refused".
#include <optional>
#include <string>
#include <vector>

#include "core/ports/production_store_port.h"
#include "production/sql_rows.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lw {

class SqliteConnection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // create: the file is made when it is not there.
  StoreStatus open(const std::string& path, bool create, int busyTimeoutMs);
  bool isOpen() const { return db_ != nullptr; }
  StoreStatus exec(const std::string& sql);
  // The last call's failure, "doing" naming what was tried.
  StoreStatus failure(const std::string& doing) const;
  // BEGIN IMMEDIATE, the work, COMMIT; ROLLBACK when the work fails.
  template <typename Work>
  StoreStatus transaction(Work&& work) {
    if (StoreStatus s = exec("BEGIN IMMEDIATE"); !s.ok()) return s;
    StoreStatus s = work();
    if (s.ok()) s = exec("COMMIT");
    if (!s.ok()) exec("ROLLBACK");
    return s;
  }
  int changes() const;
  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

class SqliteStatement {
 public:
  SqliteStatement(SqliteConnection& db, const std::string& sql, const std::vector<SqlValue>& values = {});
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Prepared and bound; else status() says why.
  bool ok() const { return status_.ok(); }
  const StoreStatus& status() const { return status_; }
  // The next result row: true; false at the end or on a failure (status()).
  bool step();
  std::optional<std::string> text(int column) const;
  int64_t integer(int column) const;

 private:
  SqliteConnection& db_;
  sqlite3_stmt* statement_ = nullptr;
  StoreStatus status_;
};

}  // namespace lw
