// libsqlite3, loaded the first time a SQLite production log is used: a run
// that logs elsewhere, or not at all, does not map it.
#include <sqlite3.h>

#include "platform/posix/lazy_library.h"
#include "platform/sqlite/sqlite_library.h"

namespace lw {

LazyLibrary& sqliteLibrary() {
  static LazyLibrary library("libsqlite3.so.0");
  return library;
}

}  // namespace lw

using lw::sqliteLibrary;

LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_open_v2, (const char* f, sqlite3** db, int flags, const char* vfs),
                (f, db, flags, vfs), SQLITE_CANTOPEN)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_close_v2, (sqlite3 * db), (db), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_busy_timeout, (sqlite3 * db, int ms), (db, ms), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_exec,
                (sqlite3 * db, const char* sql, int (*cb)(void*, int, char**, char**), void* arg, char** error),
                (db, sql, cb, arg, error), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, const char*, sqlite3_errmsg, (sqlite3 * db), (db), "the SQLite library is missing")
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_extended_errcode, (sqlite3 * db), (db), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_prepare_v2,
                (sqlite3 * db, const char* sql, int n, sqlite3_stmt** statement, const char** tail),
                (db, sql, n, statement, tail), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_finalize, (sqlite3_stmt * s), (s), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_step, (sqlite3_stmt * s), (s), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_bind_text,
                (sqlite3_stmt * s, int i, const char* text, int n, void (*destroy)(void*)), (s, i, text, n, destroy),
                SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_bind_int64, (sqlite3_stmt * s, int i, sqlite3_int64 v), (s, i, v),
                SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_bind_null, (sqlite3_stmt * s, int i), (s, i), SQLITE_MISUSE)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_column_type, (sqlite3_stmt * s, int i), (s, i), SQLITE_NULL)
LW_LAZY_FORWARD(sqliteLibrary, const unsigned char*, sqlite3_column_text, (sqlite3_stmt * s, int i), (s, i), nullptr)
LW_LAZY_FORWARD(sqliteLibrary, sqlite3_int64, sqlite3_column_int64, (sqlite3_stmt * s, int i), (s, i), 0)
LW_LAZY_FORWARD(sqliteLibrary, int, sqlite3_changes, (sqlite3 * db), (db), 0)
