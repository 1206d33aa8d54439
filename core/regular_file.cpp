#include "core/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lw {

namespace {

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "is a directory";
  if (S_ISFIFO(mode)) return "is a FIFO";
  if (S_ISSOCK(mode)) return "is a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
  return "is not a regular file";
}

}  // namespace

OpenedFile openRegularFile(const std::string& path, int flags, unsigned mode) {
  OpenedFile opened;
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, static_cast<mode_t>(mode));
  if (fd < 0) {
    // A FIFO opened for writing without a reader answers ENXIO at once.
    if (errno == ENXIO) opened.reason = "is not a regular file";
    else if (errno == EISDIR) opened.reason = "is a directory";
    else opened.reason = std::string("cannot be opened: ") + std::strerror(errno);
    return opened;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    opened.reason = std::string("cannot be examined: ") + std::strerror(errno);
    ::close(fd);
    return opened;
  }
  if (!S_ISREG(st.st_mode)) {
    opened.reason = kindOf(st.st_mode);
    ::close(fd);
    return opened;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  opened.fd = fd;
  return opened;
}

std::string notRegularReason(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return kindOf(st.st_mode);
}

}  // namespace lw
