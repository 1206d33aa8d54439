#pragma once
// What --log names: a CSV file (.csv), a JSON-lines file (any other name),
// a SQLite database (.db, .sqlite or sqlite:PATH) or a PostgreSQL server
// (postgresql://... or postgres://..., or postgresql: alone for the PG*
// environment). A password the address carries is never shown: every
// message uses the masked form, and the pending journal keeps the address
// without it.
#include <optional>
#include <string>

namespace lw {

enum class StoreKind { kCsv, kJsonLines, kSqlite, kPostgresql };

struct StoreAddress {
  StoreKind kind = StoreKind::kJsonLines;
  std::string target;      // the file's path, or the connection URI as given ("" for the environment)
  std::string shown;       // for messages: the URI with "***" for its user information and password
  std::string journalKey;  // the same store for the pending journal: a file's absolute path, the URI without password
  std::string password;    // the password in the URI, decoded; empty when none
};

// The store text names; nothing, with the reason in problem, for a
// PostgreSQL address of another form.
std::optional<StoreAddress> parseStoreAddress(const std::string& text, std::string& problem);

bool isDatabase(StoreKind kind);

// text with every occurrence of password (as given and percent-encoded)
// replaced by "***": for messages that come from a client library.
std::string withPasswordHidden(std::string text, const std::string& password);

}  // namespace lw
