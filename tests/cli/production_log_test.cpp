// The production log's formats, and appends from several processes at once.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/log_append.h"
#include "cli/production_log.h"

namespace lw::cli {
namespace {

ProductionRecord sample() {
  ProductionRecord r;
  r.time = utcTimestamp(0);
  r.command = "program-adapter";
  r.adapter = "emulator:/tmp/a,b";
  r.part = "Larch-F8U6";
  r.size = 380;
  r.checksum = 0x518D;
  r.serialNumber = "00000100";
  r.serialString = "LINE \"A\"";
  r.message = "Error !: two\r\nlines \xE2\x80\xA8 here";
  return r;
}

TEST(ProductionLog, CsvQuotingHeaderAndJsonLinesStayOnOneLine) {
  EXPECT_EQ(csvField("plain text"), "plain text");
  EXPECT_EQ(csvField("a,b"), "\"a,b\"");
  EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
  // What a spreadsheet would run as a formula is written as text.
  EXPECT_EQ(csvField("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"");
  EXPECT_EQ(csvField("+1"), "'+1");
  EXPECT_EQ(csvField("-2+3"), "'-2+3");
  EXPECT_EQ(csvField("@SUM(A1)"), "'@SUM(A1)");
  EXPECT_EQ(csvField("\tcmd"), "'\tcmd");
  EXPECT_EQ(csvField("\rcmd"), "\"'\rcmd\"");
  EXPECT_EQ(csvField("a=b"), "a=b");
  ProductionRecord formula = sample();
  formula.serialString = "=1+1";
  EXPECT_NE(csvLine(formula).find(",'=1+1,"), std::string::npos);
  EXPECT_NE(jsonLine(formula).find("\"serial_string\":\"=1+1\""), std::string::npos);
  EXPECT_EQ(csvHeader(), "time,command,adapter,part,size,checksum,serial_number,serial_string,result,message\r\n");
  EXPECT_EQ(csvLine(sample()),
            "1970-01-01T00:00:00Z,program-adapter,\"emulator:/tmp/a,b\",Larch-F8U6,380,0x518D,00000100,"
            "\"LINE \"\"A\"\"\",fail,\"Error !: two\r\nlines \xE2\x80\xA8 here\"\r\n");

  const std::string json = jsonLine(sample());
  EXPECT_EQ(json.find_first_of("\r\n"), json.size() - 1);
  EXPECT_EQ(json.find("\xE2\x80\xA8"), std::string::npos);
  EXPECT_NE(json.find("\"message\":\"Error !: two\\r\\nlines \\u2028 here\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"checksum\":\"0x518D\",\"serial_number\":\"00000100\""), std::string::npos) << json;

  EXPECT_TRUE(isCsvLogPath("runs/LINE.CSV"));
  EXPECT_FALSE(isCsvLogPath("csv"));
  EXPECT_FALSE(isCsvLogPath("line.csv.jsonl"));
  EXPECT_TRUE(logLineFor("line.jsonl", sample()).header.empty());
}

// Long lines make a torn or interleaved write likelier to show.
std::string workerLine(int worker) {
  ProductionRecord r = sample();
  r.adapter = "worker" + std::to_string(worker);
  r.message = std::string(3000, 'x');
  return csvLine(r);
}

TEST(ProductionLog, ConcurrentAppendsLeaveWholeLinesAndOneHeader) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lw-log-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "gang.csv").string();
  constexpr int kWorkers = 4, kLines = 50;
  for (int w = 0; w < kWorkers; ++w) {
    if (::fork() == 0) {
      for (int i = 0; i < kLines; ++i)
        if (!appendLogLine(path, csvHeader(), workerLine(w)).empty()) ::_exit(1);
      ::_exit(0);
    }
  }
  for (int w = 0; w < kWorkers; ++w) {
    int status = 0;
    ::wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string all = text.str(), line;
  EXPECT_EQ(all.rfind(csvHeader(), 0), 0u);
  std::istringstream lines(all.substr(csvHeader().size()));
  std::map<std::string, int> seen;
  while (std::getline(lines, line)) ++seen[line + "\n"];
  std::map<std::string, int> expected;
  for (int w = 0; w < kWorkers; ++w) expected[workerLine(w)] = kLines;
  EXPECT_TRUE(seen == expected) << seen.size() << " different lines";
  EXPECT_EQ(all.find("time,", 1), std::string::npos);

  EXPECT_EQ(checkLogAppendable(dir.string()), "is a directory");
  EXPECT_EQ(appendLogLine("/dev/full", "", "x\n"), "is a device");
  const std::string fifo = (dir / "fifo.csv").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(checkLogAppendable(fifo), "is not a regular file");  // no reader: refused, not waited on
  EXPECT_EQ(appendLogLine(fifo, "", "x\n"), "is not a regular file");

  // A write that fails half-way (the file may grow no further) is cut back.
  const std::string full = (dir / "full.csv").string();
  std::ofstream(full) << std::string(1000, 'a');
  if (::fork() == 0) {
    const rlimit limit{1010, 1010};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_IGN);
    const std::string why = appendLogLine(full, "", std::string(100, 'b') + "\n");
    ::_exit(why.find("cannot be written: File too large") == 0 ? 0 : 1);
  }
  int status = 0;
  ::wait(&status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(std::filesystem::file_size(full), 1000u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lw::cli
