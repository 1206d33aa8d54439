#include "image/file_replace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lw {

namespace fs = std::filesystem;

namespace {

FileReplaceStepHook stepHook = nullptr;
void reached(FileReplaceStep step) {
  if (stepHook) stepHook(step);
}

// Temporaries are named ".NAME.lwsave-PID-RANDOM" beside the target, so a
// later save can tell which ones belong to a process that is gone.
constexpr std::string_view kTempMark = ".lwsave-";

std::string tempPrefix(const fs::path& target) {
  // Built up in place: GCC 12 takes "." + string at -O3 for an overlapping copy (-Wrestrict).
  std::string prefix = ".";
  prefix += target.filename().string();
  prefix += kTempMark;
  return prefix;
}

bool makeTemporaryPath(const fs::path& target, fs::path& out) {
  // The clock is seed enough for a name that only has to differ from its
  // neighbours (creating or linking it never follows or replaces a file),
  // and cheaper than the system's random source for a short-lived tool.
  std::minstd_rand gen(static_cast<std::minstd_rand::result_type>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target.parent_path() / (tempPrefix(target) + std::to_string(::getpid()) + "-" +
                                                 std::to_string(gen() % 1000000));
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec))) {
      out = candidate;
      return true;
    }
  }
  return false;
}

// Removes the temporaries of `target` whose process no longer runs: a save
// killed between naming its file and the rename leaves one.
void removeStaleTemporaries(const fs::path& target) {
  const std::string prefix = tempPrefix(target);
  std::error_code ec;
  const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const auto dash = rest.find('-');
    if (dash == std::string::npos || dash == 0) continue;
    char* endp = nullptr;
    const long pid = std::strtol(rest.c_str(), &endp, 10);
    if (endp != rest.c_str() + dash || pid <= 0) continue;
    const bool alive = ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    if (alive && pid != ::getpid()) continue;
    std::error_code ignored;
    fs::remove(it->path(), ignored);
  }
}

std::string errnoText(int e) { return e ? std::strerror(e) : "Unknown error."; }

bool writeAll(int fd, std::span<const uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes the rename itself durable.
void syncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// A new file in dir: unnamed where the file system supports it (named is
// then left empty), else under a fresh temporary name.
int createTemporary(const fs::path& target, mode_t mode, fs::path& named) {
  const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
#ifdef O_TMPFILE
  const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd >= 0) return fd;
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) return -1;
#endif
  if (!makeTemporaryPath(target, named)) {
    errno = EEXIST;
    return -1;
  }
  return ::open(named.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

// Gives the unnamed file a temporary name, the step before the rename.
bool nameTemporary(int fd, const fs::path& target, fs::path& named) {
  if (!makeTemporaryPath(target, named)) {
    errno = EEXIST;
    return false;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace

void setFileReplaceStepHook(FileReplaceStepHook hook) { stepHook = hook; }

std::string replacementTargetOf(const std::string& target) {
  fs::path p(target);
  for (int depth = 0; depth < 40; ++depth) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
    const fs::path link = fs::read_symlink(p, ec);
    if (ec) break;
    p = link.is_absolute() ? link : p.parent_path() / link;
  }
  return p.lexically_normal().string();
}

FileReplaceResult replaceFileContent(const std::string& target,
                                     std::initializer_list<std::span<const uint8_t>> pieces) {
  const fs::path targetPath(replacementTargetOf(target));
  removeStaleTemporaries(targetPath);

  // A replaced file keeps its permissions; a new one gets the usual ones.
  struct stat old {};
  const bool replacing = ::stat(targetPath.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  const mode_t mode = replacing ? (old.st_mode & 07777) : 0666;

  fs::path named;
  errno = 0;
  const int fd = createTemporary(targetPath, mode, named);
  if (fd < 0) {
    const int error = errno;
    return {false, errnoText(error), error};
  }
  reached(FileReplaceStep::Created);
  std::error_code ignored;
  auto fail = [&](int error) -> FileReplaceResult {
    ::close(fd);
    if (!named.empty()) fs::remove(named, ignored);
    return {false, errnoText(error), error};
  };

  for (const auto& piece : pieces)
    if (!writeAll(fd, piece)) return fail(errno ? errno : ENOSPC);
  reached(FileReplaceStep::Written);
  // The bytes reach the disk before the rename makes them the target, so a
  // power cut leaves either the old file or the complete new one.
  if (::fsync(fd) != 0) return fail(errno);
  if (replacing) (void)::fchmod(fd, mode);  // O_TMPFILE applies the umask
  reached(FileReplaceStep::Synced);
  if (named.empty() && !nameTemporary(fd, targetPath, named)) {
    const int error = errno;
    named.clear();
    return fail(error);
  }
  reached(FileReplaceStep::Named);
  if (::close(fd) != 0) {
    const int error = errno;
    fs::remove(named, ignored);
    return {false, errnoText(error), error};
  }

  std::error_code ec;
  fs::rename(named, targetPath, ec);
  if (ec) {
    fs::remove(named, ignored);
    return {false, ec.message(), ec.value()};
  }
  reached(FileReplaceStep::Renamed);
  syncDirectory(targetPath.parent_path());
  return {true, {}};
}

}  // namespace lw
