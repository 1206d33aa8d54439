// Replacing a file when the process is killed between the steps, and
// through a symbolic link.
#include "image/file_replace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/code_files/fake_host.h"

namespace lw::test {
namespace {

FileReplaceStep killAt = FileReplaceStep::Created;
void dieAtStep(FileReplaceStep step) {
  if (step == killAt) ::_exit(0);
}

// Runs a replacement in a child process that ends abruptly at `step`.
void replaceKilledAt(FileReplaceStep step, const std::string& target, const std::vector<uint8_t>& bytes) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    killAt = step;
    setFileReplaceStepHook(dieAtStep);
    replaceFileContent(target, {bytes});
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the step was not reached";
}

TEST(FileReplace, AKilledSaveLeavesTheOldOrTheNewFileAndTheNextSaveNoTemporary) {
  const std::vector<uint8_t> old(100, 'o'), fresh(200000, 'n'), later(10, 'l');
  for (const FileReplaceStep step : {FileReplaceStep::Created, FileReplaceStep::Written, FileReplaceStep::Synced,
                                     FileReplaceStep::Named, FileReplaceStep::Renamed}) {
    TempDir dir;
    const std::string target = dir.write("job.kpj", old);
    replaceKilledAt(step, target, fresh);
    const std::vector<uint8_t> now = readFile(target);
    EXPECT_TRUE(step == FileReplaceStep::Renamed ? now == fresh : now == old) << static_cast<int>(step);
    // An unnamed file vanishes with the process; one killed after naming
    // its file (or where files cannot be unnamed) leaves at most that one...
    EXPECT_LE(dir.entries().size(), step == FileReplaceStep::Renamed ? 1u : 2u) << static_cast<int>(step);
    // ...and the next save of the same target removes it.
    ASSERT_TRUE(replaceFileContent(target, {later}).ok);
    EXPECT_EQ(readFile(target), later);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"job.kpj"}) << static_cast<int>(step);
  }
}

TEST(FileReplace, ASaveOntoASymbolicLinkReplacesTheFileItPointsTo) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  const std::string real = dir.write("real/job.kpj", std::string("old"));
  std::filesystem::permissions(real, std::filesystem::perms(0640));
  std::filesystem::create_symlink("real/job.kpj", dir.path() / "link.kpj");
  std::filesystem::create_symlink("link.kpj", dir.path() / "chain.kpj");

  const std::vector<uint8_t> fresh{'n', 'e', 'w'};
  ASSERT_TRUE(replaceFileContent(dir.file("chain.kpj"), {fresh}).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "chain.kpj"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.kpj"));
  EXPECT_EQ(readFile(real), fresh);
  EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640)) << "permissions kept";
  std::vector<std::string> inReal;
  for (const auto& e : std::filesystem::directory_iterator(dir.path() / "real")) inReal.push_back(e.path().filename());
  EXPECT_EQ(inReal, std::vector<std::string>{"job.kpj"});

  // A dangling link creates the file it names.
  std::filesystem::create_symlink("real/new.kpj", dir.path() / "dangling.kpj");
  ASSERT_TRUE(replaceFileContent(dir.file("dangling.kpj"), {fresh}).ok);
  EXPECT_EQ(readFile(dir.file("real/new.kpj")), fresh);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "dangling.kpj"));
}

}  // namespace
}  // namespace lw::test
