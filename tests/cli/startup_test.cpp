// What loomwrite-cli loads when it starts: the commands that neither draw
// nor fetch load no Qt library, nothing of USB unless they look at the USB
// bus, and no database library unless they log to that database.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/cli/cli_run.h"

namespace lw::test {
namespace {

// Every object the dynamic loader mapped during the run (LD_DEBUG=files
// logs each one, DT_NEEDED and dlopen alike), one text.
std::string loadedObjects(const ScratchDir& work, const std::vector<std::string>& args, int& exit) {
  const std::filesystem::path logs = work.path() / "ld";
  std::filesystem::remove_all(logs);
  std::filesystem::create_directory(logs);
  exit = runCli(work, args, {{"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", (logs / "ld").string()}}).exit;
  std::string all;
  for (const auto& file : std::filesystem::directory_iterator(logs)) {
    std::ifstream in(file.path());
    all.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return all;
}

TEST(CliStartUp, LoadAndProgramMapNoQtWhileDrawingAFormDoes) {
  ScratchDir work, state;
  const std::string hex = examplePath("blinky.hex");
  int exit = -1;
  const std::string load = loadedObjects(work, {"load", hex, "--part", "Larch-F8U6", "--out", "img.bin"}, exit);
  EXPECT_EQ(exit, 0);
  EXPECT_NE(load.find("liblw_hid.so"), std::string::npos);  // the log is there
  EXPECT_EQ(load.find("libQt6"), std::string::npos);

  const std::string program =
      loadedObjects(work, {"--adapter", "emulator:" + state.path().string(), "program", hex, "--part", "Larch-F8U6"}, exit);
  EXPECT_EQ(exit, 0);
  EXPECT_NE(program.find("libV0Izaz_Tether.so"), std::string::npos);
  EXPECT_EQ(program.find("libQt6"), std::string::npos);

  ASSERT_EQ(runCli(work, {"kpj", "save", "job.kpj", "--part", "Larch-F8U6", hex}).exit, 0);
  const std::string form = loadedObjects(work, {"kpj", "form", "job.kpj", "--bmp", "form.bmp"}, exit);
  EXPECT_EQ(exit, 0);
  EXPECT_NE(form.find("libLoomwriteQt.so"), std::string::npos);
  EXPECT_NE(form.find("libQt6Gui"), std::string::npos);
}

// hidapi and libudev are loaded only once the USB bus is looked at (the
// USB tests in tests/usb find adapters through them).
TEST(CliStartUp, TheUsbLibrariesLoadOnlyToLookAtTheUsbBus) {
  ScratchDir work;
  int exit = -1;
  const std::string load = loadedObjects(work, {"load", examplePath("blinky.hex"), "--part", "Larch-F8U6"}, exit);
  EXPECT_EQ(exit, 0);
  EXPECT_EQ(load.find("libhidapi"), std::string::npos);
  EXPECT_EQ(load.find("libudev"), std::string::npos);
  EXPECT_NE(loadedObjects(work, {"--adapter", "usb", "adapters"}, exit).find("libhidapi-hidraw.so.0"), std::string::npos);
}

// libsqlite3 and libpq (with the Kerberos, LDAP and TLS libraries it brings)
// are loaded only by a run whose production log is a database of theirs.
TEST(CliStartUp, TheDatabaseLibrariesLoadOnlyForTheirOwnLogs) {
  ScratchDir work, state;
  const std::vector<std::string> program{"--adapter", "emulator:" + state.path().string(), "program",
                                         examplePath("blinky.hex"), "--part", "Larch-F8U6", "--log"};
  auto with = [&](const std::string& log) {
    std::vector<std::string> args = program;
    args.push_back(log);
    return args;
  };
  int exit = -1;
  const std::string csv = loadedObjects(work, with("line.csv"), exit);
  EXPECT_EQ(exit, 0);
  EXPECT_EQ(csv.find("libsqlite3"), std::string::npos);
  EXPECT_EQ(csv.find("libpq"), std::string::npos);
  const std::string sqlite = loadedObjects(work, with("line.db"), exit);
  EXPECT_EQ(exit, 0);
  EXPECT_NE(sqlite.find("libsqlite3.so.0"), std::string::npos);
  EXPECT_EQ(sqlite.find("libpq"), std::string::npos);
  const std::string postgresql =
      loadedObjects(work, {"log", "summary", "--log", "postgresql:///none?host=" + (work / "no-server")}, exit);
  EXPECT_EQ(exit, 1);
  EXPECT_NE(postgresql.find("libpq.so.5"), std::string::npos);
}

}  // namespace
}  // namespace lw::test
