#pragma once
// Opening a file by a name someone gave without being held up by what the
// name turns out to be: a FIFO without a writer or reader, a socket, a
// device. The file is opened without blocking and refused unless it is a
// regular file.
#include <string>

namespace lw {

struct OpenedFile {
  int fd = -1;          // open, and a regular file; -1 when refused
  std::string reason;   // why not, to follow the path: "is a FIFO", "cannot be opened: <the system's reason>"
  bool ok() const { return fd >= 0; }
};

// open(2) with flags (O_CLOEXEC and O_NONBLOCK are added; O_NONBLOCK is
// taken off again once the file is known to be regular) and mode for
// O_CREAT. The caller closes fd.
OpenedFile openRegularFile(const std::string& path, int flags, unsigned mode = 0644);

// Why a path that exists is not a regular file ("is a directory", "is a
// FIFO", ...), following symbolic links; empty when it is one or does not
// exist.
std::string notRegularReason(const std::string& path);

}  // namespace lw
