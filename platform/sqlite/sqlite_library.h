#pragma once
// libsqlite3 as it is loaded on first use (sqlite_library.cpp defines the
// functions of <sqlite3.h> the store calls, each forwarding to the library).
#include "platform/posix/lazy_library.h"

namespace lw {

LazyLibrary& sqliteLibrary();

}  // namespace lw
