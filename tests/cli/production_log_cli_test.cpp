// program and program-adapter --log against the emulated adapter: the lines
// they leave, and a log that cannot be written.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

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
  EXPECT_EQ(csv[0], "time,command,adapter,part,size,checksum,serial_number,serial_string,result,message");
  const QStringList pass = csv[1].split(',');
  ASSERT_EQ(pass.size(), 10);
  EXPECT_TRUE(QDateTime::fromString(pass[0], Qt::ISODate).isValid()) << pass[0].toStdString();
  EXPECT_EQ(pass.mid(1).join(','), QString::fromStdString("program," + place + ",Larch-F8U6,380,0x518D,,,pass,"));
  EXPECT_TRUE(csv[2].endsWith(",0,0x0000,,,fail,missing.hex: no such file")) << csv[2].toStdString();

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
  CliRun late;
  {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{128 * 1024, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    late = runCli(work, with(emulatorArgs(state), {"program", examplePath("blinky.hex"), "--part", "Larch-F8U6",
                                                   "--log", "full.csv"}));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
  }
  EXPECT_EQ(late.exit, 1);
  EXPECT_NE(late.err.find("the target was programmed all the same"), std::string::npos) << late.err;
  EXPECT_TRUE(state.exists("target-flash.bin"));
  EXPECT_EQ(runCli(work, {"parts", "--log", "x.csv"}).exit, 2);
}

}  // namespace
}  // namespace lw::test
