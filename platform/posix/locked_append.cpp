#include "platform/posix/locked_append.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/regular_file.h"

namespace lw {

namespace {

constexpr int kOpenFlags = O_RDWR | O_APPEND | O_CREAT;
constexpr mode_t kLogMode = 0644;

std::string reason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// Calls io(done) until n bytes are moved, going on after a short transfer
// or a signal; false with errno set when io fails or moves nothing.
template <typename Io>
bool moveAll(std::size_t n, Io&& io) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t moved = io(done);
    if (moved < 0 && errno == EINTR) continue;
    if (moved <= 0) {
      if (moved == 0) errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(moved);
  }
  return true;
}


int lockExclusive(int fd) {
  int r;
  do r = ::flock(fd, LOCK_EX);
  while (r != 0 && errno == EINTR);
  return r;
}

std::string appendLocked(int fd, const AppendComposer& compose) {
  struct stat before {};
  if (::fstat(fd, &before) != 0) return reason("cannot be examined");
  std::string why;
  const std::string text = compose(fd, before.st_size, &why);
  if (!why.empty()) return why;
  if (text.empty()) return {};
  if (!writeWholeText(fd, text)) {
    why = reason("cannot be written");
    // A line cut short would pass for a record; with the lock still held
    // nobody has appended after it.
    if (::ftruncate(fd, before.st_size) != 0) return why + " (a partial line may remain)";
    return why;
  }
  if (::fdatasync(fd) != 0) return reason("cannot be flushed to the disk");
  return {};
}

}  // namespace

std::string checkLogAppendable(const std::string& path) {
  const OpenedFile log = openRegularFile(path, kOpenFlags, kLogMode);
  if (!log.ok()) return log.reason;
  ::close(log.fd);
  return {};
}

std::string appendUnderLock(const std::string& path, const AppendComposer& compose) {
  // Never blocks on a FIFO or device put in the log's place meanwhile.
  const OpenedFile log = openRegularFile(path, kOpenFlags, kLogMode);
  if (!log.ok()) return log.reason;
  const int fd = log.fd;
  std::string why = lockExclusive(fd) == 0 ? appendLocked(fd, compose) : reason("cannot be locked");
  // Closing releases the lock.
  if (::close(fd) != 0 && why.empty()) why = reason("cannot be closed");
  return why;
}

std::string appendLogLine(const std::string& path, const std::string& header, const std::string& line) {
  return appendUnderLock(path, [&](int, off_t size, std::string*) { return (size == 0 ? header : std::string()) + line; });
}

bool writeWholeText(int fd, const std::string& text) {
  return moveAll(text.size(), [&](std::size_t done) { return ::write(fd, text.data() + done, text.size() - done); });
}

bool readWholeFile(int fd, off_t size, std::string& text) {
  text.assign(static_cast<std::size_t>(size), '\0');
  return moveAll(text.size(), [&](std::size_t done) {
    return ::pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
  });
}

}  // namespace lw
