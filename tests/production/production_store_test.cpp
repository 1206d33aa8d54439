// One test of the production log's store interface, run against every
// store: a CSV file, a JSON-lines file, a SQLite database and a PostgreSQL
// server of the test's own. Each must keep a row once however often it is
// sent, answer the same questions alike, take rows from several processes
// at once, and (the databases) hand out every serial number once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>

#include "core/ports/production_store_port.h"
#include "platform/posix/line_file_store.h"
#include "platform/postgresql/pg_store.h"
#include "platform/sqlite/sqlite_store.h"
#include "production/record_query.h"
#include "production/row_id.h"
#include "production/serial_stamp.h"
#include "tests/production/pg_scratch_server.h"

namespace lw {
namespace {

enum class Kind { kCsv, kJsonLines, kSqlite, kPostgresql };

std::string nameOf(Kind k) {
  switch (k) {
    case Kind::kCsv: return "Csv";
    case Kind::kJsonLines: return "JsonLines";
    case Kind::kSqlite: return "Sqlite";
    case Kind::kPostgresql: return "Postgresql";
  }
  return "";
}

// The store's backing (a file, a database, a server) and fresh connections to it.
class Backing {
 public:
  explicit Backing(Kind kind) : kind_(kind) {
    dir_ = std::filesystem::temp_directory_path() / ("lw-store-" + std::to_string(::getpid()) + "-" + nameOf(kind));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    if (kind == Kind::kPostgresql) server_ = std::make_unique<test::PgScratchServer>();
  }
  ~Backing() { std::filesystem::remove_all(dir_); }

  std::unique_ptr<ProductionStorePort> open() {
    std::unique_ptr<ProductionStorePort> store;
    switch (kind_) {
      case Kind::kCsv:
        store = std::make_unique<LineFileStore>((dir_ / "log.csv").string(), LineFileStore::Format::kCsv,
                                                LineFileStore::Use::kAppend);
        break;
      case Kind::kJsonLines:
        store = std::make_unique<LineFileStore>((dir_ / "log.jsonl").string(), LineFileStore::Format::kJsonLines,
                                                LineFileStore::Use::kAppend);
        break;
      case Kind::kSqlite:
        store = std::make_unique<SqliteStore>((dir_ / "log.db").string(), SqliteStore::Use::kWrite);
        break;
      case Kind::kPostgresql:
        store = std::make_unique<PostgresqlStore>(server_ && server_->running() ? server_->uri() : "", "");
        break;
    }
    const StoreStatus opened = store->open();
    EXPECT_TRUE(opened.ok()) << opened.why;
    return store;
  }
  bool databases() const { return kind_ == Kind::kSqlite || kind_ == Kind::kPostgresql; }

 private:
  Kind kind_;
  std::filesystem::path dir_;
  std::unique_ptr<test::PgScratchServer> server_;
};

ProductionRecord row(const std::string& time, const std::string& station, bool pass) {
  ProductionRecord r;
  r.id = newRowId();
  r.time = time;
  r.command = "program";
  r.station = station;
  r.operatorName = "Mei";
  r.runId = "run-1";
  r.adapter = "emulator:/tmp/a";
  r.part = "Larch-F8U6";
  r.size = 380;
  r.checksum = 0x518D;
  r.imageSha256 = std::string(64, 'a');
  r.pass = pass;
  r.durationMs = 812;
  if (!pass) {
    r.message = "Error !: \"Erase Chip Fail!\", twice\r\nthen \xE6\x93\xA6";
    r.failurePhase = "erase (command 13)";
  }
  return r;
}

// Five boards on two stations over three days, two images, one verify.
std::vector<ProductionRecord> knownRows() {
  std::vector<ProductionRecord> rows;
  rows.push_back(row("2026-03-01T08:00:00Z", "A", true));
  rows.back().serialNumber = "00000001";
  rows.back().serialString = "LINE-A";
  rows.push_back(row("2026-03-01T09:30:00Z", "A", false));
  rows.back().adapterSerial = "LW-0007";
  rows.back().serialNumber = "00000002";
  rows.push_back(row("2026-03-02T10:00:00Z", "B", true));
  rows.back().imageSha256 = std::string(64, 'b');
  rows.back().serialNumber = "00001234";
  rows.push_back(row("2026-03-02T11:00:00Z", "B", true));
  rows.back().command = "verify";
  rows.back().part = "Other-F4";
  rows.back().imageSha256 = std::string(64, 'b');
  rows.push_back(row("2026-03-03T12:00:00Z", "A", true));
  rows.back().serialString = "=1+1";
  return rows;
}

std::vector<ProductionRecord> selected(ProductionStorePort& store, const RecordFilter& filter) {
  std::vector<ProductionRecord> out;
  const StoreStatus s = store.select(filter, [&](const ProductionRecord& r) {
    out.push_back(r);
    return true;
  });
  EXPECT_TRUE(s.ok() && s.why.empty()) << s.why;
  return out;
}

class ProductionStore : public ::testing::TestWithParam<Kind> {};

TEST_P(ProductionStore, KeepsEachRowOnceAndAnswersEveryQuestionAlike) {
  Backing backing(GetParam());
  auto store = backing.open();
  const std::vector<ProductionRecord> rows = knownRows();
  ASSERT_TRUE(store->add({rows[0], rows[1]}, ProductionStorePort::Delivery::kNew).ok());
  // The journal sends the first two again with the rest: kept once.
  const StoreStatus replayed = store->add(rows, ProductionStorePort::Delivery::kReplay);
  ASSERT_TRUE(replayed.ok()) << replayed.why;
  ASSERT_TRUE(backing.open()->add(rows, ProductionStorePort::Delivery::kReplay).ok());

  EXPECT_EQ(selected(*store, {}), rows);
  RecordFilter bySerial;
  bySerial.serial = 0x1234;
  EXPECT_EQ(selected(*store, bySerial), std::vector<ProductionRecord>{rows[2]});
  RecordFilter byString;
  byString.serialString = "=1+1";
  EXPECT_EQ(selected(*store, byString), std::vector<ProductionRecord>{rows[4]});
  RecordFilter byImage;
  byImage.imageSha256 = "bbbb";
  byImage.command = "program";
  EXPECT_EQ(selected(*store, byImage), std::vector<ProductionRecord>{rows[2]});
  RecordFilter since;
  since.since = "2026-03-02T10:00:00Z";
  EXPECT_EQ(selected(*store, since).size(), 3u);

  std::vector<SummaryGroup> groups;
  ASSERT_TRUE(store->summarize({}, SummaryKey::kStation, groups).ok());
  EXPECT_EQ(groups, (std::vector<SummaryGroup>{{"A", 2, 1}, {"B", 2, 0}}));
  ASSERT_TRUE(store->summarize(since, SummaryKey::kAll, groups).ok());
  EXPECT_EQ(groups, (std::vector<SummaryGroup>{{"all", 3, 0}}));
  for (const SummaryKey key : {SummaryKey::kPart, SummaryKey::kImage, SummaryKey::kAdapter, SummaryKey::kDay}) {
    SummaryTally expected;
    for (const ProductionRecord& r : rows) expected.add(summaryKeyOf(key, r), r.pass);
    ASSERT_TRUE(store->summarize({}, key, groups).ok());
    EXPECT_EQ(groups, expected.groups()) << summaryKeyName(key);
  }
}

TEST_P(ProductionStore, TakesRowsAndHandsOutSerialNumbersFromSeveralProcessesAtOnce) {
  Backing backing(GetParam());
  constexpr int kWriters = 4, kEach = 15;
  const bool serials = backing.databases();
  for (int w = 0; w < kWriters; ++w) {
    if (::fork() != 0) continue;
    // Each writer a process of its own, with its own connection, all
    // starting on a store not made yet.
    auto own = backing.open();
    for (int i = 0; i < kEach; ++i) {
      ProductionRecord r = row("2026-03-04T08:00:00Z", "W" + std::to_string(w), i % 3 != 0);
      if (serials) {
        SerialClaim claim{"line-7", 0x100, highestSerial(4), r.id, r.station, r.adapter, r.time};
        uint64_t n = 0;
        if (!own->takeSerial(claim, n).ok()) ::_exit(1);
        r.serialNumber = serialDigits(n, 4);
        r.serialPool = claim.pool;
      }
      if (!own->add({r}, ProductionStorePort::Delivery::kNew).ok()) ::_exit(2);
    }
    ::_exit(0);
  }
  for (int w = 0; w < kWriters; ++w) {
    int status = 0;
    ::wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  auto store = backing.open();
  const std::vector<ProductionRecord> rows = selected(*store, {});
  std::set<std::string> ids;
  for (const ProductionRecord& r : rows) ids.insert(r.id);
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(kWriters * kEach));
  EXPECT_EQ(rows.size(), ids.size());

  if (!serials) {
    uint64_t n = 0;
    const StoreStatus refused = store->takeSerial({"line-7", 1, 0xFFFFFFFF, "r", "s", "a", "t"}, n);
    EXPECT_EQ(refused.kind, StoreStatus::Kind::kRefused);
    EXPECT_NE(refused.why.find("no shared counter"), std::string::npos) << refused.why;
    return;
  }
  // Every number from 0x100 on once, used when its board passed and
  // spoiled when it failed.
  std::vector<SerialEntry> numbers;
  ASSERT_TRUE(store->selectSerials("line-7", [&](const SerialEntry& e) {
                    numbers.push_back(e);
                    return true;
                  }).ok());
  ASSERT_EQ(numbers.size(), static_cast<std::size_t>(kWriters * kEach));
  std::map<uint64_t, bool> passed;
  for (const ProductionRecord& r : rows) passed[*serialValue(r.serialNumber)] = r.pass;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    EXPECT_EQ(numbers[i].number, 0x100 + i);
    EXPECT_EQ(numbers[i].state, passed.at(numbers[i].number) ? "used" : "spoiled");
  }
  // A later start is taken; an earlier one never gives a number again; a
  // number past what the bytes hold is refused and not used up.
  uint64_t n = 0;
  ASSERT_TRUE(store->takeSerial({"line-7", 0x200, 0xFFFF, "r1", "s", "a", "2026-03-04T09:00:00Z"}, n).ok());
  EXPECT_EQ(n, 0x200u);
  ASSERT_TRUE(store->takeSerial({"line-7", 1, 0xFFFF, "r2", "s", "a", "2026-03-04T09:00:00Z"}, n).ok());
  EXPECT_EQ(n, 0x201u);
  const StoreStatus full = store->takeSerial({"line-7", 1, 0x201, "r3", "s", "a", "2026-03-04T09:00:00Z"}, n);
  EXPECT_EQ(full.kind, StoreStatus::Kind::kRefused);
  EXPECT_NE(full.why.find("used up"), std::string::npos) << full.why;
  ASSERT_TRUE(store->takeSerial({"line-7", 1, 0xFFFF, "r4", "s", "a", "2026-03-04T09:00:00Z"}, n).ok());
  EXPECT_EQ(n, 0x202u);
  // Numbers whose boards never got logged (a run that died after taking
  // one) stay spoiled, not lost.
  numbers.clear();
  ASSERT_TRUE(store->selectSerials("line-7", [&](const SerialEntry& e) {
                    numbers.push_back(e);
                    return true;
                  }).ok());
  ASSERT_EQ(numbers.size(), static_cast<std::size_t>(kWriters * kEach + 3));
  EXPECT_EQ(numbers.back().number, 0x202u);
  EXPECT_EQ(numbers.back().state, "spoiled");
  EXPECT_EQ(numbers.back().rowId, "r4");
}

INSTANTIATE_TEST_SUITE_P(EveryStore, ProductionStore,
                         ::testing::Values(Kind::kCsv, Kind::kJsonLines, Kind::kSqlite, Kind::kPostgresql),
                         [](const ::testing::TestParamInfo<Kind>& p) { return nameOf(p.param); });

}  // namespace
}  // namespace lw
