// program and program-adapter --log against the emulated adapter: the lines
// they leave, and a log that cannot be written (the row then waits in the
// journal, or, without one, is missing and fails the run).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <map>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QSysInfo>

#include "tests/cli/cli_run.h"

namespace lw::test {
namespace {

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

QStringList linesOf(const std::string& text) {
  return QString::fromStdString(text).split("\r\n", Qt::SkipEmptyParts);
}

TEST(CliProductionLog, ProgramAndProgramAdapterAppendTheirLines) {
  ScratchDir work, state;
  const std::string hex = examplePath("blinky.hex");
  const std::string place = "emulator:" + state.path().string();
  ASSERT_EQ(runCli(work, with(emulatorArgs(state), {"program", hex, "--part", "Larch-F8U6", "--log", "x.csv"})).exit, 0);
  EXPECT_EQ(runCli(work, with(emulatorArgs(state), {"program", "missing.hex", "--part", "Larch-F8U6", "--log", "x.csv"})).exit,
            1);
  const QStringList csv = linesOf(work.read("x.csv"));
  ASSERT_EQ(csv.size(), 3);
  EXPECT_EQ(csv[0],
            "time,command,adapter,part,size,checksum,serial_number,serial_string,result,message,"
            "id,station,operator,run_id,adapter_serial,image_sha256,serial_pool,failure_phase,duration_ms");
  const QStringList pass = csv[1].split(',');
  ASSERT_EQ(pass.size(), 19);
  EXPECT_TRUE(QDateTime::fromString(pass[0], Qt::ISODate).isValid()) << pass[0].toStdString();
  EXPECT_EQ(pass.mid(1, 9).join(','), QString::fromStdString("program," + place + ",Larch-F8U6,380,0x518D,,,pass,"));
  EXPECT_EQ(pass[10].size(), 36);  // the row's id
  EXPECT_EQ(pass[11].toStdString(), QSysInfo::machineHostName().toStdString());
  EXPECT_EQ(pass[15].size(), 64);  // the image's SHA-256
  const QStringList fail = csv[2].split(',');
  ASSERT_EQ(fail.size(), 19);
  EXPECT_EQ(fail.mid(4, 6).join(','), "0,0x0000,,,fail,missing.hex: no such file");
  EXPECT_NE(fail[10], pass[10]);
  EXPECT_EQ(fail[17], "before the adapter");

  const CliRun stored =
      runCli(work, with(emulatorArgs(state), {"program-adapter", hex, "--part", "Larch-F8U6", "--serial-string",
                                              "LINE-A", "--serial-number", "100", "--log", "x.jsonl"}));
  ASSERT_EQ(stored.exit, 0) << stored.err;
  const std::string jsonl = work.read("x.jsonl");
  ASSERT_EQ(jsonl.find('\n'), jsonl.size() - 1);
  const QJsonObject line = QJsonDocument::fromJson(QByteArray::fromStdString(jsonl)).object();
  EXPECT_EQ(line["command"].toString(), "program-adapter");
  EXPECT_EQ(line["adapter"].toString().toStdString(), place);
  EXPECT_EQ(line["size"].toInt(), 380);
  EXPECT_EQ(line["checksum"].toString(), "0x518D");
  EXPECT_EQ(line["serial_number"].toString(), "00000100");
  EXPECT_EQ(line["serial_string"].toString(), "LINE-A");
  EXPECT_EQ(line["result"].toString(), "pass");
  EXPECT_EQ(line["message"].toString(), "");
}

TEST(CliProductionLog, AnUnwritableLogFailsFastOrAfterTheProgramming) {
  ScratchDir work, state;
  work.write("plain", "");
  const CliRun early = runCli(work, with(emulatorArgs(state), {"--json", "program", examplePath("blinky.hex"), "--part",
                                                               "Larch-F8U6", "--log", "plain/x.csv"}));
  EXPECT_EQ(early.exit, 1);
  EXPECT_NE(early.err.find("plain/x.csv cannot be opened"), std::string::npos) << early.err;
  EXPECT_FALSE(early.json()["ok"].toBool());
  EXPECT_TRUE(std::filesystem::is_empty(state.path()));  // the adapter was never opened

  // The log may grow no further once the target is programmed (its files
  // are below the limit, the log is at it).
  work.write("full.csv", std::string(128 * 1024, 'x'));
  auto programAtTheLimit = [&](const std::map<std::string, std::string>& env) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{128 * 1024, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    const CliRun run = runCli(work, with(emulatorArgs(state), {"program", examplePath("blinky.hex"), "--part",
                                                               "Larch-F8U6", "--log", "full.csv"}),
                              env);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    return run;
  };
  CliRun late = programAtTheLimit({});
  // Its row waits in the journal; the board passed and so does the run.
  EXPECT_EQ(late.exit, 0) << late.err;
  EXPECT_NE(late.err.find("the board's row is pending in " + work.path().string() + "/.state/loomwrite/pending-rows.jsonl"),
            std::string::npos)
      << late.err;
  EXPECT_TRUE(state.exists("target-flash.bin"));
  EXPECT_NE(work.read(".state/loomwrite/pending-rows.jsonl").find("\"result\":\"pass\""), std::string::npos);
  // With no journal to keep it either, the row is missing and the run fails.
  late = programAtTheLimit({{"XDG_STATE_HOME", work / "plain"}});
  EXPECT_EQ(late.exit, 1);
  EXPECT_NE(late.err.find("the target was programmed all the same, but its record is missing"), std::string::npos)
      << late.err;
  EXPECT_EQ(runCli(work, {"parts", "--log", "x.csv"}).exit, 2);
}

}  // namespace
}  // namespace lw::test
