#include "platform/postgresql/pg_connection.h"

#include <libpq-fe.h>

#include <cstdlib>

#include "platform/postgresql/libpq_library.h"
#include "production/store_address.h"

namespace lw {

namespace {

// A refused connection is said at once; one whose packets vanish gives up
// after this, and so does a write the server never acknowledges.
constexpr const char* kConnectTimeoutSeconds = "5";
constexpr const char* kTcpUserTimeoutMs = "10000";
// How long a statement waits for another session's lock (the serial pool's row).
constexpr const char* kSessionSettings = "SET lock_timeout = '10s'; SET search_path TO loomwrite";

// The first line of a libpq message, without its line end.
std::string firstLine(const char* message) {
  std::string text = message ? message : "";
  const std::size_t end = text.find('\n');
  if (end != std::string::npos) text.resize(end);
  return text.empty() ? std::string("no reason given") : text;
}

// SQL states that pass: the connection, the server's resources, a lock
// not granted in time, a transaction the server broke off.
bool transientState(const std::string& state) {
  const std::string cls = state.substr(0, 2);
  return cls == "08" || cls == "53" || cls == "57" || state == "55P03" || state == "40001" || state == "40P01";
}

void ignoreNotice(void*, const char*) {}

// Parameters go to the server as texts, beside the statement, never in it.
class BoundTexts {
 public:
  explicit BoundTexts(const std::vector<SqlValue>& values) : texts_(values.size()), pointers_(values.size(), nullptr) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i].type == SqlValue::Type::kNull) continue;
      texts_[i] = values[i].type == SqlValue::Type::kText ? values[i].text : std::to_string(values[i].integer);
      pointers_[i] = texts_[i].c_str();
    }
  }
  int count() const { return static_cast<int>(pointers_.size()); }
  const char* const* values() const { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<const char*> pointers_;
};

}  // namespace

PgResult::~PgResult() {
  if (r_) PQclear(r_);
}

PgResult& PgResult::operator=(PgResult&& other) noexcept {
  if (this != &other) {
    if (r_) PQclear(r_);
    r_ = other.r_;
    other.r_ = nullptr;
  }
  return *this;
}

int PgResult::rows() const { return r_ ? PQntuples(r_) : 0; }

int PgResult::affected() const {
  const char* n = r_ ? PQcmdTuples(r_) : nullptr;
  return n && *n ? std::atoi(n) : 0;
}

std::optional<std::string> PgResult::text(int row, int column) const {
  if (!r_ || PQgetisnull(r_, row, column)) return std::nullopt;
  const char* v = PQgetvalue(r_, row, column);
  return v ? std::string(v) : std::string();
}

PgConnection::PgConnection(std::string uri, std::string password) : uri_(std::move(uri)), password_(std::move(password)) {
  // A password from the environment is kept out of messages as well.
  if (password_.empty())
    if (const char* fromEnvironment = std::getenv("PGPASSWORD")) password_ = fromEnvironment;
}

PgConnection::~PgConnection() {
  if (conn_) PQfinish(conn_);
}

StoreStatus PgConnection::connect() {
  if (!libpqLibrary().loaded())
    return StoreStatus::refused(libpqLibrary().failure() + " (the package libpq5 provides it)");
  std::vector<const char*> keys, values;
  if (!uri_.empty()) {
    keys.push_back("dbname");
    values.push_back(uri_.c_str());
  }
  if (uri_.find("connect_timeout=") == std::string::npos && !std::getenv("PGCONNECT_TIMEOUT")) {
    keys.push_back("connect_timeout");
    values.push_back(kConnectTimeoutSeconds);
  }
  if (uri_.find("tcp_user_timeout=") == std::string::npos) {
    keys.push_back("tcp_user_timeout");
    values.push_back(kTcpUserTimeoutMs);
  }
  keys.push_back("fallback_application_name");
  values.push_back("loomwrite-cli");
  keys.push_back(nullptr);
  values.push_back(nullptr);
  if (conn_) PQfinish(conn_);
  conn_ = PQconnectdbParams(keys.data(), values.data(), 1);
  if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
    StoreStatus s = connectionFailure();
    // Whether anybody answered: a server that did and turned the login
    // down will do so again; one nobody answered for may come back.
    if (s.why.find("timeout expired") == std::string::npos) {
      const PGPing ping = PQpingParams(keys.data(), values.data(), 1);
      if (ping == PQPING_OK || ping == PQPING_NO_ATTEMPT) s.kind = StoreStatus::Kind::kRefused;
    }
    return s;
  }
  PQsetNoticeProcessor(conn_, ignoreNotice, nullptr);
  PgResult set(PQexec(conn_, kSessionSettings));
  if (PQresultStatus(set.get()) != PGRES_COMMAND_OK) return failure(set.get());
  return {};
}

bool PgConnection::lost() const { return !conn_ || PQstatus(conn_) == CONNECTION_BAD; }

StoreStatus PgConnection::connectionFailure() const {
  return StoreStatus::unreachable(
      "cannot be reached: " + withPasswordHidden(firstLine(conn_ ? PQerrorMessage(conn_) : "out of memory"), password_));
}

StoreStatus PgConnection::failure(pg_result* r) const {
  if (lost()) return connectionFailure();
  const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  const std::string why =
      "cannot be used: " + withPasswordHidden(firstLine(r ? PQresultErrorMessage(r) : PQerrorMessage(conn_)), password_);
  return state && transientState(state) ? StoreStatus::unreachable(why) : StoreStatus::refused(why);
}

StoreStatus PgConnection::runScript(const std::string& sql) {
  PgResult result(PQexec(conn_, sql.c_str()));
  return PQresultStatus(result.get()) == PGRES_COMMAND_OK ? StoreStatus{} : failure(result.get());
}

StoreStatus PgConnection::run(const std::string& sql, const std::vector<SqlValue>& values, PgResult* out) {
  const BoundTexts params(values);
  PgResult result(PQexecParams(conn_, sql.c_str(), params.count(), nullptr, params.values(), nullptr,
                               nullptr, 0));
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return failure(result.get());
  if (out) *out = std::move(result);
  return {};
}

StoreStatus PgConnection::transaction(const std::function<StoreStatus()>& work) {
  StoreStatus s;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt > 0) {
      if (!lost()) break;
      if (s = connect(); !s.ok()) return s;
    }
    s = run("BEGIN");
    if (s.ok()) s = work();
    if (s.ok()) s = run("COMMIT");
    if (s.ok()) return s;
    if (!lost()) run("ROLLBACK");
  }
  return s;
}

StoreStatus PgConnection::stream(const std::string& sql, const std::vector<SqlValue>& values,
                                 const std::function<bool(const PgResult& row)>& each) {
  const BoundTexts params(values);
  if (!PQsendQueryParams(conn_, sql.c_str(), params.count(), nullptr, params.values(), nullptr, nullptr,
                         0))
    return failure(nullptr);
  PQsetSingleRowMode(conn_);
  StoreStatus s;
  bool wanted = true;
  for (PgResult r(PQgetResult(conn_)); r.get(); r = PgResult(PQgetResult(conn_))) {
    const ExecStatusType status = PQresultStatus(r.get());
    if (status == PGRES_SINGLE_TUPLE) {
      if (wanted) wanted = each(r);
    } else if (status != PGRES_TUPLES_OK && s.ok()) {
      s = failure(r.get());
    }
  }
  return s;
}

}  // namespace lw
