#include "platform/posix/file_lock_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace lw {

bool FileLockGuard::acquire(const std::string& name) {
  release();
  std::string dir = lockDir_;
  if (dir.empty()) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    dir = runtime && *runtime ? runtime : "/tmp";
  }
  std::string fileName;
  for (char c : name) fileName += (c == ' ' || c == '/') ? '_' : c;
  const std::string path = dir + "/" + fileName + "-" + std::to_string(getuid()) + ".lock";
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return true;  // no place for a lock file: do not refuse to run
  if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

void FileLockGuard::release() {
  if (fd_ >= 0) {
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
  }
}

}  // namespace lw
