#include "platform/sqlite/sqlite_connection.h"

#include <sqlite3.h>

#include "core/regular_file.h"
#include "platform/sqlite/sqlite_library.h"

namespace lw {

namespace {

bool unreachableCode(int code) {
  const int primary = code & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_FULL || primary == SQLITE_IOERR ||
         primary == SQLITE_PROTOCOL;
}

}  // namespace

SqliteConnection::~SqliteConnection() {
  if (db_) sqlite3_close_v2(db_);
}

StoreStatus SqliteConnection::open(const std::string& path, bool create, int busyTimeoutMs) {
  if (!sqliteLibrary().loaded())
    return StoreStatus::refused(sqliteLibrary().failure() + " (the package libsqlite3-0 provides it)");
  // A FIFO or device in the database's place is refused, never waited on.
  if (const std::string notRegular = notRegularReason(path); !notRegular.empty())
    return StoreStatus::refused(notRegular);
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_FULLMUTEX;
  const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (code != SQLITE_OK) {
    StoreStatus s = failure("cannot be opened");
    if (!create && (code & 0xFF) == SQLITE_CANTOPEN) s = StoreStatus::refused("cannot be opened: no such database");
    sqlite3_close_v2(db_);
    db_ = nullptr;
    return s;
  }
  sqlite3_busy_timeout(db_, busyTimeoutMs);
  // Every committed row is on the disk before the command goes on.
  return exec("PRAGMA synchronous = FULL");
}

StoreStatus SqliteConnection::exec(const std::string& sql) {
  return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK ? StoreStatus{} : failure("");
}

StoreStatus SqliteConnection::failure(const std::string& doing) const {
  const int code = db_ ? sqlite3_extended_errcode(db_) : SQLITE_CANTOPEN;
  const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
  std::string why = (doing.empty() ? std::string("cannot be used") : doing) + ": " + message;
  if ((code & 0xFF) == SQLITE_BUSY) why += " (another process held it past the time-out)";
  return unreachableCode(code) ? StoreStatus::unreachable(why) : StoreStatus::refused(why);
}

int SqliteConnection::changes() const { return sqlite3_changes(db_); }

SqliteStatement::SqliteStatement(SqliteConnection& db, const std::string& sql, const std::vector<SqlValue>& values)
    : db_(db) {
  if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
    status_ = db.failure("");
    return;
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    const int at = static_cast<int>(i) + 1;
    const SqlValue& v = values[i];
    const int bound = v.type == SqlValue::Type::kText
                          ? sqlite3_bind_text(statement_, at, v.text.data(), static_cast<int>(v.text.size()),
                                              SQLITE_TRANSIENT)
                      : v.type == SqlValue::Type::kInteger ? sqlite3_bind_int64(statement_, at, v.integer)
                                                           : sqlite3_bind_null(statement_, at);
    if (bound != SQLITE_OK) {
      status_ = db.failure("");
      return;
    }
  }
}

SqliteStatement::~SqliteStatement() {
  if (statement_) sqlite3_finalize(statement_);
}

bool SqliteStatement::step() {
  if (!status_.ok()) return false;
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) return true;
  if (code != SQLITE_DONE) status_ = db_.failure("");
  return false;
}

std::optional<std::string> SqliteStatement::text(int column) const {
  if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
  const unsigned char* t = sqlite3_column_text(statement_, column);
  return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}

int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(statement_, column); }

}  // namespace lw
