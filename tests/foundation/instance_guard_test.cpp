#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/file_lock_guard.h"

namespace lw {
namespace {

// A second process cannot take the guard while the first holds it, and a
// process that dies without releasing it does not keep it.
TEST(FileLockGuard, ExcludesOtherProcessesAndDiesWithItsHolder) {
  const std::string dir = std::filesystem::temp_directory_path().string();
  const std::string name = "lw guard test " + std::to_string(::getpid());
  int ready[2], done[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(done), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileLockGuard guard(dir);
    const char ok = guard.acquire(name) ? 1 : 0;
    (void)!write(ready[1], &ok, 1);
    char c;
    (void)!read(done[0], &c, 1);
    _exit(0);  // ends without releasing, like a crash
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 1);

  FileLockGuard second(dir);
  EXPECT_FALSE(second.acquire(name));

  (void)!write(done[1], "x", 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(second.acquire(name));
  second.release();
  FileLockGuard third(dir);
  EXPECT_TRUE(third.acquire(name)) << "released guards can be taken again";
}

}  // namespace
}  // namespace lw
