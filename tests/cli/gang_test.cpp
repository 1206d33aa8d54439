// Several emulated adapters at once: listing and choosing them, the
// firmware update of one among several, and gang runs in which a failing
// or vanishing adapter leaves the others alone.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include <QJsonArray>
#include <QJsonObject>

#include "tests/cli/cli_run.h"
#include "tests/cli/window_loader.h"

namespace lw::test {
namespace {

// Emulated adapters with their own state directories, the files made.
struct Bench {
  explicit Bench(std::size_t n) : dirs(n) {
    for (const ScratchDir& d : dirs) {
      choice += (choice.empty() ? "emulator:" : ",") + d.path().string();
    }
    EXPECT_EQ(runCli(work, {"--adapter", choice, "adapters"}).exit, 0);
  }
  std::string place(std::size_t i) const { return "emulator:" + dirs[i].path().string(); }
  // Replaces "key = ..." in the adapter's adapter.ini.
  void set(std::size_t i, const std::string& key, const std::string& value) {
    std::string text = dirs[i].read("adapter.ini");
    const auto at = text.find("\n" + key + " = ");
    ASSERT_NE(at, std::string::npos) << key;
    const auto end = text.find('\n', at + 1);
    text.replace(at + 1, end - at - 1, key + " = " + value);
    dirs[i].write("adapter.ini", text);
  }
  bool has(std::size_t i, const std::string& line) const {
    return dirs[i].read("adapter.ini").find("\n" + line + "\n") != std::string::npos;
  }
  bool holds(std::size_t i, const std::vector<uint8_t>& image) const {
    const std::vector<uint8_t> flash = dirs[i].readBytes("target-flash.bin");
    return flash.size() >= image.size() && std::equal(image.begin(), image.end(), flash.begin());
  }
  ScratchDir work;
  std::vector<ScratchDir> dirs;
  std::string choice;
};

const std::string kHex = examplePath("blinky.hex");

TEST(CliAdapters, ListsEachAdapterAndRunsOnTheOneChosen) {
  Bench bench(3);
  bench.set(1, "mode", "firmware-update");
  bench.set(2, "serial", "LW-0042");
  const CliRun list = runCli(bench.work, {"--adapter", bench.choice, "--json", "adapters"});
  ASSERT_EQ(list.exit, 0) << list.err;
  const QJsonArray adapters = list.json()["adapters"].toArray();
  ASSERT_EQ(adapters.size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(adapters[i].toObject()["place"].toString().toStdString(), bench.place(i));
  EXPECT_EQ(adapters[0].toObject()["mode"].toString(), "normal");
  EXPECT_TRUE(adapters[0].toObject()["storage"].toBool());
  EXPECT_FALSE(adapters[0].toObject()["firmware"].toString().isEmpty());
  EXPECT_EQ(adapters[1].toObject()["mode"].toString(), "firmware update");
  EXPECT_FALSE(adapters[1].toObject().contains("firmware"));
  EXPECT_EQ(adapters[2].toObject()["serial"].toString(), "LW-0042");

  // None chosen: the first in normal mode, and the run says so.
  const std::vector<uint8_t> image = loadInTheWindow("Larch-F8U6", {{kHex, LoadArea{}}});
  const CliRun first = runCli(bench.work, {"--adapter", bench.choice, "program", kHex, "--part", "Larch-F8U6"});
  ASSERT_EQ(first.exit, 0) << first.err;
  EXPECT_NE(first.err.find("3 adapters are on offer and none was chosen; this run takes the first, " + bench.place(0)),
            std::string::npos)
      << first.err;
  EXPECT_TRUE(bench.holds(0, image));
  EXPECT_FALSE(bench.holds(2, image));

  const CliRun chosen = runCli(bench.work, {"--adapter", bench.place(2), "program", kHex, "--part", "Larch-F8U6"});
  ASSERT_EQ(chosen.exit, 0) << chosen.err;
  EXPECT_EQ(chosen.err.find("none was chosen"), std::string::npos);
  EXPECT_TRUE(bench.holds(2, image));

  const CliRun bad = runCli(bench.work, {"--adapter", "usb:banana", "adapters"});
  EXPECT_EQ(bad.exit, 2);
  EXPECT_NE(bad.err.find("neither a USB port path"), std::string::npos) << bad.err;
}

TEST(CliAdapters, AFirmwareUpdateStaysWithTheAdapterItRestarts) {
  // The first adapter sits in firmware-update mode already; the second has
  // old firmware. Its update must not be written into the first, which is
  // on offer under the update-mode id while the second restarts.
  Bench bench(3);
  bench.set(0, "mode", "firmware-update");
  bench.set(1, "firmware_version", "1.4");
  bench.set(2, "firmware_version", "1.4");
  const CliRun run = runCli(bench.work, {"--adapter", bench.choice, "--yes", "firmware"});
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_TRUE(bench.has(0, "mode = firmware-update"));
  EXPECT_TRUE(bench.has(1, "mode = normal"));
  EXPECT_FALSE(bench.has(1, "firmware_version = 1.4"));
  EXPECT_TRUE(bench.has(2, "firmware_version = 1.4"));

  const CliRun chosen = runCli(bench.work, {"--adapter", bench.place(2), "--yes", "firmware"});
  ASSERT_EQ(chosen.exit, 0) << chosen.err;
  EXPECT_FALSE(bench.has(2, "firmware_version = 1.4"));
  EXPECT_TRUE(bench.has(0, "mode = firmware-update"));
}

TEST(CliGang, EachAdapterGetsItsOwnResultAndOnlyAllPassingPasses) {
  Bench bench(4);
  const std::vector<uint8_t> image = loadInTheWindow("Larch-F8U6", {{kHex, LoadArea{}}});
  const CliRun all = runCli(bench.work, {"--adapter", bench.choice, "--json", "gang", "program", kHex, "--part", "Larch-F8U6"});
  ASSERT_EQ(all.exit, 0) << all.err;
  EXPECT_EQ(all.json()["passed"].toInt(), 4);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(bench.holds(i, image)) << i;

  // One verifies wrong, one leaves the bus mid-run, one named is not there.
  for (const ScratchDir& d : bench.dirs) d.writeBytes("target-flash.bin", std::vector<uint8_t>(0x10000, 0xFF));
  bench.dirs[1].write("faults.ini", "corrupt_at = 16\n");
  bench.dirs[2].write("faults.ini", "vanish_after_reports = 12\n");
  const std::string missing = bench.work / "gone";
  const auto started = std::chrono::steady_clock::now();
  const CliRun run = runCli(bench.work, {"--adapter", bench.choice, "--json", "gang", "program", kHex, "--part",
                                         "Larch-F8U6", "--log", "line.csv", "--adapters",
                                         bench.place(0) + "," + bench.place(1) + "," + bench.place(2) + "," +
                                             bench.place(3) + ",emulator:" + missing});
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(run.exit, 1) << run.err;
  const QJsonObject json = run.json();
  EXPECT_EQ(json["passed"].toInt(), 2);
  EXPECT_EQ(json["failed"].toInt(), 3);
  const QJsonArray rows = json["adapters"].toArray();
  ASSERT_EQ(rows.size(), 5);
  const std::vector<bool> ok = {true, false, false, true, false};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(rows[i].toObject()["ok"].toBool(), ok[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(rows[1].toObject()["outcome"].toString(),
            "Update Target failed at verify: byte 0x00000010 reads back 0x01, the image holds 0x00");
  EXPECT_EQ(rows[1].toObject()["result"].toObject()["exit"].toInt(), 1);
  EXPECT_FALSE(rows[2].toObject()["outcome"].toString().isEmpty());
  EXPECT_EQ(rows[4].toObject()["outcome"].toString().toStdString(), "no adapter at emulator:" + missing);
  EXPECT_TRUE(bench.holds(0, image));
  EXPECT_TRUE(bench.holds(3, image));
  // One log line per board, the missing one's written by the gang itself.
  const std::string log = bench.work.read("line.csv");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6) << log;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::string verdict = (i == 0 || i == 3) ? ",pass," : ",fail,";
    EXPECT_NE(log.find("," + bench.place(i) + ",Larch-F8U6,"), std::string::npos) << i << log;
    const auto at = log.find(bench.place(i) + ",");
    EXPECT_NE(log.substr(at, log.find('\n', at) - at).find(verdict), std::string::npos) << i << log;
  }
  EXPECT_NE(log.find("emulator:" + missing + ",Larch-F8U6,"), std::string::npos) << log;
  // The vanished adapter's time-outs do not hold the gang up for long.
  EXPECT_LT(took, std::chrono::seconds(30));
}

// The processes whose command line has an argument that ends in `ending`
// (a gang worker's "--adapter emulator:DIR", say).
int processesWithArgument(const std::string& ending) {
  int n = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    const std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (cmdline.find(ending + std::string(1, '\0')) != std::string::npos) ++n;
  }
  return n;
}

TEST(CliGang, AnAdapterThatCannotBeCreatedFailsItsOwnRowAndLogLine) {
  Bench bench(2);
  const std::string choice = "emulator:" + bench.dirs[0].path().string() + ",/proc/nope," + bench.dirs[1].path().string();
  const CliRun run =
      runCli(bench.work, {"--adapter", choice, "--json", "gang", "program", kHex, "--part", "Larch-F8U6", "--log", "g.csv"});
  EXPECT_EQ(run.exit, 1) << run.err;
  EXPECT_EQ(run.json()["passed"].toInt(), 2);
  const QJsonArray rows = run.json()["adapters"].toArray();
  ASSERT_EQ(rows.size(), 3);
  EXPECT_EQ(rows[1].toObject()["outcome"].toString(), "no adapter at emulator:/proc/nope");
  EXPECT_NE(bench.work.read("g.csv").find(",emulator:/proc/nope,Larch-F8U6,380,0x518D,,,fail,"), std::string::npos)
      << bench.work.read("g.csv");
  // Said once, however often the gang looked at the adapters.
  const auto said = run.err.find("cannot create the state directory /proc/nope");
  ASSERT_NE(said, std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("cannot create the state directory", said + 1), std::string::npos) << run.err;
}

TEST(CliGang, SigtermMidRunStopsEveryWorkerAndLogsEveryBoard) {
  Bench bench(3);
  for (std::size_t i = 0; i < 3; ++i) bench.set(i, "timing", "full-speed");  // about 2 s for 64 KiB
  std::vector<uint8_t> image(0x10000);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + 5);
  bench.work.writeBytes("image.bin", image);
  // SIGTERM once every board is past a tenth of its code (the gang's
  // progress lines say so), so that each worker is mid-write.
  auto workersBusy = [&] {
    const std::string progress = bench.work.read(".cli-stderr");
    for (std::size_t i = 0; i < 3; ++i) {
      const std::regex mid(bench.place(i) + R"( +\[[#-]+\] +[1-9][0-9]%  program)");
      if (!std::regex_search(progress, mid)) return false;
    }
    return true;
  };
  const CliRun run = runCli(bench.work,
                            {"--adapter", bench.choice, "--json", "--progress", "gang", "program", "image.bin", "--part",
                             "Larch-F8U6", "--log", "g.csv"},
                            {}, {}, {.limitSeconds = 30, .signal = SIGTERM, .signalWhen = workersBusy});
  EXPECT_EQ(run.exit, 1) << run.err;
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.json()["interrupted"].toString(), "SIGTERM");
  EXPECT_EQ(run.json()["failed"].toInt(), 3);
  for (const QJsonValue row : run.json()["adapters"].toArray())
    EXPECT_TRUE(row.toObject()["outcome"].toString().startsWith("interrupted by SIGTERM during code write (command 25)"))
        << row.toObject()["outcome"].toString().toStdString();
  const std::string log = bench.work.read("g.csv");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4) << log;
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NE(log.find("," + bench.place(i) + ",Larch-F8U6,65536,"), std::string::npos) << log;
    EXPECT_EQ(processesWithArgument(bench.place(i)), 0) << i;
    EXPECT_FALSE(bench.holds(i, image)) << i;
  }
  EXPECT_EQ(log.find(",pass,"), std::string::npos) << log;
}

// gang verify of three boards, one of them differing in one byte: only that
// one fails, naming the offset; each row shows the phase its worker is in.
TEST(CliGang, VerifyFindsTheOneBoardThatDiffers) {
  Bench bench(3);
  ASSERT_EQ(runCli(bench.work, {"--adapter", bench.choice, "gang", "program", kHex, "--part", "Larch-F8U6"}).exit, 0);
  std::vector<uint8_t> flash = bench.dirs[1].readBytes("target-flash.bin");
  flash[0x30] ^= 0x01;
  bench.dirs[1].writeBytes("target-flash.bin", flash);

  const CliRun run = runCli(bench.work, {"--adapter", bench.choice, "--json", "--progress", "gang", "verify", kHex,
                                         "--part", "Larch-F8U6", "--log", "audit.csv"});
  EXPECT_EQ(run.exit, 1) << run.err;
  const QJsonObject json = run.json();
  EXPECT_EQ(json["command"].toString(), "gang verify");
  EXPECT_EQ(json["passed"].toInt(), 2);
  const QJsonArray rows = json["adapters"].toArray();
  ASSERT_EQ(rows.size(), 3);
  const QJsonObject differing = rows[1].toObject();
  EXPECT_FALSE(differing["ok"].toBool(true));
  EXPECT_EQ(differing["result"].toObject()["differing_bytes"].toInt(), 1);
  EXPECT_EQ(differing["result"].toObject()["differences"].toArray()[0].toObject()["offset"].toInt(), 0x30);
  EXPECT_NE(differing["outcome"].toString().indexOf("Verify Target failed at verify: 1 byte differs, the first: byte "
                                                   "0x00000030"),
            -1)
      << differing["outcome"].toString().toStdString();
  // The table's lines named the verify phase of each board as it went.
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_NE(run.err.find(bench.place(i) + "  ["), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("%  verify"), std::string::npos) << run.err;
  const std::string log = bench.work.read("audit.csv");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4) << log;
  EXPECT_NE(log.find(",verify," + bench.place(1) + ",Larch-F8U6,"), std::string::npos) << log;
}

}  // namespace
}  // namespace lw::test
