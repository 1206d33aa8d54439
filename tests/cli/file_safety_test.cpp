// What a careless or hostile command line cannot do: make an output replace
// an input of the same run, hang the tool on a FIFO where a file belongs,
// or pass a job the emulated adapter could not keep.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/cli/cli_run.h"
#include "tests/sanitizer_build.h"

namespace lw::test {
namespace {

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::string kHex = examplePath("blinky.hex");

// "Within a second": what the runs must end in. The sanitizer build runs
// everything several times slower, the adapter's start included.
const double kPromptly = kAddressSanitizer ? 3.0 : 1.0;

// Files written while it lasts cannot grow past `bytes`, as on a full disk:
// the one failure a test running as root can still give a write.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);  // a write then fails with EFBIG instead
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t oldHandler_ = SIG_DFL;
};

TEST(CliOutputs, NoOutputReplacesAnInputOfTheRunOrAnotherOutput) {
  ScratchDir work, state;
  std::filesystem::copy_file(kHex, work / "img.hex");
  ASSERT_EQ(runCli(work, {"kpj", "save", "job.kpj", "--part", "Larch-F8U6", "img.hex"}).exit, 0);
  const std::string project = work.read("job.kpj"), image = work.read("img.hex");
  std::filesystem::create_symlink("job.kpj", work / "link.kpj");
  std::filesystem::create_hard_link(work / "img.hex", work / "hard.hex");

  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"kpj", "form", "job.kpj", "--text", "job.kpj"}, "--text job.kpj and the project job.kpj are the same file"},
      {{"kpj", "form", "job.kpj", "--bmp", "./job.kpj"}, "--bmp ./job.kpj and the project job.kpj"},
      {{"kpj", "form", "job.kpj", "--pdf", "link.kpj"}, "--pdf link.kpj and the project job.kpj"},
      {{"kpj", "form", "job.kpj", "--text", "a.txt", "--bmp", "a.txt"}, "--bmp a.txt and --text a.txt"},
      {{"kpj", "save", "new.kpj", "--part", "Larch-F8U6", "img.hex", "--form-text", "new.kpj"},
       "--form-text new.kpj and the project new.kpj"},
      {{"kpj", "save", "new.kpj", "--part", "Larch-F8U6", "img.hex", "--form-bmp", "hard.hex"},
       "--form-bmp hard.hex and the input img.hex"},
      {{"load", "img.hex", "--part", "Larch-F8U6", "--out", "hard.hex"}, "--out hard.hex and the input img.hex"},
      {{"load", "img.hex", "--part", "Larch-F8U6", "--out", "/dev/null"}, "--out /dev/null is a device"},
      {with(emulatorArgs(state), {"program", "img.hex", "--part", "Larch-F8U6", "--log", "img.hex"}),
       "--log img.hex and the input img.hex"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(work, c.args);
    EXPECT_EQ(run.exit, 2) << c.says;
    EXPECT_NE(run.err.find(std::string("loomwrite-cli: ") + c.says), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
  }
  EXPECT_EQ(work.read("job.kpj"), project);
  EXPECT_EQ(work.read("img.hex"), image);
  EXPECT_FALSE(work.exists("new.kpj"));
  EXPECT_FALSE(work.exists("a.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(state.path()));  // the adapter was never opened
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  // A new name beside the input is fine.
  EXPECT_EQ(runCli(work, {"load", "img.hex", "--part", "Larch-F8U6", "--out", "img.bin"}).exit, 0);
}

TEST(CliOddFiles, FifosWhereFilesBelongAreRefusedWithinASecond) {
  ScratchDir work, state;
  ASSERT_EQ(runCli(work, with(emulatorArgs(state), {"program", kHex, "--part", "Larch-F8U6"})).exit, 0);
  ASSERT_EQ(mkfifo((work / "line.csv").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((work / "image.hex").c_str(), 0644), 0);
  const struct {
    std::vector<std::string> args;
    int exit;
    const char* says;
  } cases[] = {
      {with(emulatorArgs(state), {"program", kHex, "--part", "Larch-F8U6", "--log", "line.csv"}), 2,
       "--log line.csv is a FIFO, not a regular file"},
      {with(emulatorArgs(state), {"gang", "program", kHex, "--part", "Larch-F8U6", "--log", "line.csv"}), 2,
       "--log line.csv is a FIFO"},
      {{"load", "image.hex", "--part", "Larch-F8U6"}, 1, "image.hex: is a FIFO"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(work, c.args, {}, {}, {.limitSeconds = 10});
    EXPECT_EQ(run.exit, c.exit) << c.says << run.err;
    EXPECT_LT(run.seconds, kPromptly) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }

  // A state file that is a FIFO: the emulated adapter is off the bus, and
  // says which file is in the way.
  const std::string dir = state.path().string();
  for (const char* file : {"adapter.ini", "faults.ini", "target-options.txt", "emulator.log"}) {
    const std::string kept = state.read(file);
    std::filesystem::remove(state.path() / file);
    ASSERT_EQ(mkfifo((state.path() / file).c_str(), 0644), 0);
    const CliRun start = runCli(work, {"emulator", "start", dir}, {}, {}, {.limitSeconds = 10});
    EXPECT_EQ(start.exit, 1) << file;
    EXPECT_LT(start.seconds, kPromptly) << file;
    EXPECT_NE(start.out.find(std::string("the state directory cannot be used: ") + file + " is a FIFO"),
              std::string::npos)
        << start.out;
    const CliRun program = runCli(work, with(emulatorArgs(state), {"program", kHex, "--part", "Larch-F8U6"}), {}, {},
                                   {.limitSeconds = 10});
    EXPECT_EQ(program.exit, 1) << file;
    EXPECT_LT(program.seconds, kPromptly) << file;
    EXPECT_NE(program.err.find(std::string(file) + " is a FIFO, not a regular file"), std::string::npos)
        << program.err;
    std::filesystem::remove(state.path() / file);
    state.write(file, kept);
  }
  EXPECT_EQ(runCli(work, with(emulatorArgs(state), {"program", kHex, "--part", "Larch-F8U6"})).exit, 0);
}

TEST(CliEmulatorPersistence, AWriteTheAdapterCannotKeepFailsTheJob) {
  ScratchDir work, state;
  ASSERT_EQ(runCli(work, with(emulatorArgs(state), {"program", kHex, "--part", "Larch-F8U6"})).exit, 0);
  std::vector<uint8_t> big(40000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  work.writeBytes("big.bin", big);
  const std::vector<uint8_t> flash = state.readBytes("target-flash.bin");
  CliRun program, stored;
  {
    const FileSizeLimit limit(32 * 1024);  // less than the 64 KiB flash and the 40000-byte job
    program = runCli(work, with(emulatorArgs(state), {"program", kHex, "--part", "Larch-F8U6"}));
    stored = runCli(work, with(emulatorArgs(state), {"program-adapter", "big.bin", "--part", "Larch-F8U6"}));
  }
  EXPECT_EQ(program.exit, 1);
  EXPECT_NE(program.err.find("cannot write target-flash.bin: File too large"), std::string::npos) << program.err;
  EXPECT_EQ(program.err.find("Update Target ok"), std::string::npos) << program.err;
  EXPECT_EQ(state.readBytes("target-flash.bin"), flash);
  EXPECT_EQ(stored.exit, 1);
  EXPECT_NE(stored.err.find("cannot write offline-code.bin: File too large"), std::string::npos) << stored.err;
  EXPECT_NE(stored.err.find("Error !: Update Programmer failed !"), std::string::npos) << stored.err;
  EXPECT_FALSE(state.exists("offline-code.bin"));
}

}  // namespace
}  // namespace lw::test
