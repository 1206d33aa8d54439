// --log with a SQLite database and a PostgreSQL server (one the test starts
// itself) against emulated adapters: serial numbers from the log's pool in
// every board, rows that wait in the journal while the server is down and
// go once, and the log read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include "tests/cli/cli_run.h"
#include "tests/production/pg_scratch_server.h"

namespace lw::test {
namespace {

const std::string kHex = examplePath("blinky.hex");

// Emulated adapters, each with its own state directory.
struct Adapters {
  explicit Adapters(std::size_t n) : dirs(n) {
    for (const ScratchDir& d : dirs) choice += (choice.empty() ? "emulator:" : ",") + d.path().string();
  }
  std::vector<ScratchDir> dirs;
  std::string choice;
  // The 4 bytes at the serial address, least significant first.
  uint32_t serialAt(std::size_t i, std::size_t address) const {
    const std::vector<uint8_t> flash = dirs[i].readBytes("target-flash.bin");
    if (flash.size() < address + 4) return 0;
    return flash[address] | flash[address + 1] << 8 | flash[address + 2] << 16 | uint32_t(flash[address + 3]) << 24;
  }
};

std::vector<std::string> gangProgram(const Adapters& a, std::vector<std::string> more) {
  std::vector<std::string> args{"--adapter", a.choice, "gang", "program", kHex, "--part", "Larch-F8U6"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

std::vector<QJsonObject> jsonLines(const std::string& text) {
  std::vector<QJsonObject> out;
  for (const QString& line : QString::fromStdString(text).split('\n', Qt::SkipEmptyParts))
    out.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
  return out;
}

TEST(CliProductionStores, SqliteHandsOutTheSerialNumbersAndAnswersTheQueries) {
  ScratchDir work;
  Adapters gang(3);
  const std::string db = work / "line.db";
  EXPECT_EQ(runCli(work, {"--adapter", gang.choice, "adapters"}).exit, 0);
  gang.dirs[1].write("faults.ini", "erase.status = 5\n");
  const CliRun ran = runCli(work, gangProgram(gang, {"--log", db, "--serial-at", "FFF0", "--serial-from", "100",
                                                     "--station", "st-1", "--operator", "Mei"}));
  EXPECT_EQ(ran.exit, 1) << ran.err;
  EXPECT_NE(ran.out.find("2 of 3 passed"), std::string::npos) << ran.out;

  // Every number once from 0x100 on; the failed board's number is spoiled.
  const QJsonObject serials = runCli(work, {"--json", "log", "serials", "--log", db}).json();
  const QJsonArray numbers = serials["numbers"].toArray();
  ASSERT_EQ(numbers.size(), 3);
  std::set<uint32_t> used;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(numbers[i].toObject()["number"].toString().toUInt(nullptr, 16), 0x100u + i);
    if (numbers[i].toObject()["state"].toString() == "used") used.insert(0x100 + i);
  }
  EXPECT_EQ(serials["spoiled"].toInt(), 1);
  const std::set<uint32_t> programmed{gang.serialAt(0, 0xFFF0), gang.serialAt(2, 0xFFF0)};
  EXPECT_EQ(programmed, used);

  // The next run goes on from there; a board's row is found by its number.
  const CliRun one = runCli(work, {"--adapter", "emulator:" + gang.dirs[0].path().string(), "program", kHex, "--part",
                                   "Larch-F8U6", "--log", "sqlite:" + db, "--serial-at", "FFF0"});
  ASSERT_EQ(one.exit, 0) << one.err;
  EXPECT_NE(one.out.find("Serial 0x00000103 (pool default) at 0x0000FFF0"), std::string::npos) << one.out;
  EXPECT_EQ(gang.serialAt(0, 0xFFF0), 0x103u);
  const QJsonObject found = runCli(work, {"--json", "log", "find", "--log", db, "--serial", "0x103"}).json();
  ASSERT_EQ(found["count"].toInt(), 1);
  const QJsonObject row = found["rows"].toArray()[0].toObject();
  EXPECT_EQ(row["serial_pool"].toString(), "default");
  EXPECT_EQ(row["size"].toInt(), 0xFFF4);  // the image filled up to the serial number
  EXPECT_EQ(row["image_sha256"].toString().size(), 64);
  EXPECT_EQ(runCli(work, {"log", "find", "--log", db, "--serial", "7"}).exit, 1);

  const CliRun summary = runCli(work, {"log", "summary", "--log", db, "--by", "station"});
  ASSERT_EQ(summary.exit, 0) << summary.err;
  EXPECT_NE(summary.out.find("st-1            2         1    66.7%\n"), std::string::npos) << summary.out;
  const std::vector<QJsonObject> exported = jsonLines(runCli(work, {"--json", "log", "export", "--log", db}).out);
  ASSERT_EQ(exported.size(), 4u);
  EXPECT_EQ(exported[0]["run_id"], exported[2]["run_id"]);  // one gang run
  EXPECT_NE(exported[0]["run_id"], exported[3]["run_id"]);
  EXPECT_EQ(exported[0]["operator"].toString(), "Mei");

  // A text log has no shared counter: refused before any adapter is touched.
  std::filesystem::remove(gang.dirs[2].path() / "target-flash.bin");
  const CliRun csv = runCli(work, {"--adapter", "emulator:" + gang.dirs[2].path().string(), "program", kHex, "--part",
                                   "Larch-F8U6", "--log", "x.csv", "--serial-at", "FFF0"});
  EXPECT_EQ(csv.exit, 2);
  EXPECT_NE(csv.err.find("a CSV log has no shared counter"), std::string::npos) << csv.err;
  EXPECT_FALSE(gang.dirs[2].exists("target-flash.bin"));
}

TEST(CliProductionStores, PostgresqlRowsWaitWhileTheServerIsDownAndGoOnce) {
  PgScratchServer server;
  ASSERT_TRUE(server.running());
  ScratchDir work;
  Adapters gang(4);
  // The password is sent (the scratch server does not ask for one) but never shown.
  std::string uri = server.uri();
  uri.insert(uri.find("lw@") + 2, ":s3cret");
  const CliRun first = runCli(work, gangProgram(gang, {"--log", uri, "--station", "A"}));
  ASSERT_EQ(first.exit, 0) << first.err;
  EXPECT_EQ(jsonLines(runCli(work, {"--json", "log", "export", "--log", uri}).out).size(), 4u);

  ASSERT_TRUE(server.stop());
  // A board that needs a serial number is not touched: the journal keeps rows, never numbers.
  std::filesystem::remove(gang.dirs[0].path() / "target-flash.bin");
  const CliRun numberless = runCli(work, {"--adapter", "emulator:" + gang.dirs[0].path().string(), "program", kHex,
                                          "--part", "Larch-F8U6", "--log", uri, "--serial-at", "FFF0"});
  EXPECT_EQ(numberless.exit, 1);
  EXPECT_NE(numberless.err.find("nothing was programmed (no serial number can be handed out without it)"),
            std::string::npos)
      << numberless.err;
  EXPECT_FALSE(gang.dirs[0].exists("target-flash.bin"));
  const CliRun down = runCli(work, gangProgram(gang, {"--json", "--log", uri, "--station", "B"}));
  EXPECT_EQ(down.exit, 0) << down.err;
  EXPECT_EQ(down.json()["passed"].toInt(), 4);
  EXPECT_NE(down.err.find("the rows of this run wait in the journal"), std::string::npos) << down.err;
  const std::string journal = work.read(".state/loomwrite/pending-rows.jsonl");
  EXPECT_EQ(jsonLines(journal).size(), 4u);
  for (const std::string& text : {first.out, first.err, down.out, down.err, journal})
    EXPECT_EQ(text.find("s3cret"), std::string::npos) << text;
  const CliRun stillDown = runCli(work, {"log", "flush"});
  EXPECT_EQ(stillDown.exit, 1);
  EXPECT_NE(stillDown.err.find("(4 rows still pending)"), std::string::npos) << stillDown.err;

  // Back up: the journal goes once, without the password it never kept.
  ASSERT_TRUE(server.start());
  const CliRun flushed = runCli(work, {"--json", "log", "flush"});
  EXPECT_EQ(flushed.exit, 0) << flushed.err;
  EXPECT_EQ(flushed.json()["sent"].toInt(), 4);
  EXPECT_FALSE(work.exists(".state/loomwrite/pending-rows.jsonl"));
  EXPECT_EQ(runCli(work, {"--json", "log", "flush"}).json()["sent"].toInt(), 0);
  // The same rows once more, as after a journal that could not be rewritten: kept once.
  work.write(".state/loomwrite/pending-rows.jsonl", journal);
  EXPECT_EQ(runCli(work, {"--json", "log", "flush", "--log", uri}).json()["sent"].toInt(), 4);

  const CliRun summary = runCli(work, {"log", "summary", "--log", uri, "--by", "station", "--since", "today"});
  ASSERT_EQ(summary.exit, 0) << summary.err;
  EXPECT_EQ(summary.out,
            "station    passed    failed    yield\n"
            "A               4         0   100.0%\n"
            "B               4         0   100.0%\n"
            "all             8         0   100.0%\n");
  const CliRun json = runCli(work, {"--json", "log", "summary", "--log", uri, "--by", "station"});
  EXPECT_EQ(json.json()["passed"].toInt(), 8);
  EXPECT_EQ(json.json()["log"].toString().toStdString().find("s3cret"), std::string::npos);
}

TEST(CliProductionStores, TwoGangsAtOnceGiveEveryBoardItsOwnNumber) {
  PgScratchServer server;
  ASSERT_TRUE(server.running());
  ScratchDir work;
  Adapters left(3), right(3);
  right.dirs[1].write("faults.ini", "corrupt_at = 16\n");
  CliRun a, b;
  const std::vector<std::string> serial{"--log", server.uri(), "--serial-at", "FFF0", "--serial-pool", "shared"};
  std::thread other([&] { b = runCli(work, gangProgram(right, serial)); });
  a = runCli(work, gangProgram(left, serial));
  other.join();
  EXPECT_EQ(a.exit, 0) << a.err;
  EXPECT_EQ(b.exit, 1) << b.err;

  const QJsonArray numbers = runCli(work, {"--json", "log", "serials", "--log", server.uri(), "--serial-pool", "shared"})
                                 .json()["numbers"]
                                 .toArray();
  ASSERT_EQ(numbers.size(), 6);
  std::set<uint32_t> programmed;
  for (const Adapters* g : {&left, &right})
    for (std::size_t i = 0; i < 3; ++i)
      if (g != &right || i != 1) programmed.insert(g->serialAt(i, 0xFFF0));
  std::set<uint32_t> used;
  for (int i = 0; i < 6; ++i) {
    const QJsonObject n = numbers[i].toObject();
    EXPECT_EQ(n["number"].toString().toUInt(nullptr, 16), static_cast<uint32_t>(i + 1));
    if (n["state"].toString() == "used") used.insert(i + 1);
  }
  EXPECT_EQ(used.size(), 5u);
  EXPECT_EQ(programmed, used);
}

}  // namespace
}  // namespace lw::test
