#include "emulator/state_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/regular_file.h"

namespace lw::emu {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSmallFile = 16 * 1024;

// Every file of the directory, in the order they are looked at.
constexpr const char* kStateFiles[] = {file::kAdapter,    file::kAdapterFirmware, file::kOfflineHeader,
                                       file::kOfflineCode, file::kOfflineRun,      file::kTarget,
                                       file::kTargetFlash, file::kTargetOptions,   file::kFaults,
                                       file::kLog};

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

StateDir::StateDir(fs::path dir) : dir_(std::move(dir)) {}

bool StateDir::warnOnce(const std::string& line) {
  if (!warned_.insert(line).second) return false;
  std::fprintf(stderr, "%s\n", line.c_str());
  return true;
}

bool StateDir::ensureExists() {
  std::error_code ec;
  if (fs::is_directory(dir_, ec)) return true;
  fs::create_directories(dir_, ec);
  if (ec) {
    warnOnce("adapter emulator: cannot create the state directory " + dir_.string() + ": " + ec.message());
    return false;
  }
  return true;
}

std::optional<std::string> StateDir::strayFile() const {
  for (const char* name : kStateFiles) {
    if (const std::string kind = notRegularReason((dir_ / name).string()); !kind.empty())
      return std::string(name) + " " + kind;
  }
  return std::nullopt;
}

StateDir::Stamp StateDir::stampOf(const char* name) const {
  struct stat st {};
  Stamp s;
  if (::stat((dir_ / name).c_str(), &st) != 0) return s;
  s.present = true;
  s.size = static_cast<uintmax_t>(st.st_size);
  s.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.inode = st.st_ino;
  return s;
}

bool StateDir::exists(const char* name) const { return stampOf(name).present; }

bool StateDir::changed(const char* name) const {
  const auto it = known_.find(name);
  if (it == known_.end()) return true;
  if (!(it->second.stamp == stampOf(name))) return true;
  if (!it->second.contentHash) return false;
  const auto content = readRaw(name);
  return !content || std::hash<std::string>{}(*content) != *it->second.contentHash;
}

std::optional<std::string> StateDir::readRaw(const char* name, std::string* why) const {
  const OpenedFile in = openRegularFile((dir_ / name).string(), O_RDONLY);
  if (!in.ok()) {
    if (why) *why = in.reason;
    return std::nullopt;
  }
  std::string bytes;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (why) *why = std::string("cannot be read: ") + std::strerror(errno);
      ::close(in.fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(in.fd);
  return bytes;
}

void StateDir::remember(const char* name, const std::string* content) {
  Known k;
  k.stamp = stampOf(name);
  if (content && content->size() <= kSmallFile) k.contentHash = std::hash<std::string>{}(*content);
  known_[name] = k;
}

std::optional<std::string> StateDir::read(const char* name) {
  if (!stampOf(name).present) {
    remember(name, nullptr);
    return std::nullopt;
  }
  std::string why;
  auto content = readRaw(name, &why);
  if (!content) {
    log(std::string(name) + " " + why);
    remember(name, nullptr);
    return std::nullopt;
  }
  remember(name, &*content);
  return content;
}

bool StateDir::write(const char* name, const std::string& bytes) {
  if (!ensureExists()) return false;
  const fs::path target = dir_ / name;
  const fs::path temp = dir_ / (std::string(".") + name + ".new");
  // The reason is taken before anything else can change errno.
  auto fail = [&](const char* what, int error) {
    ::unlink(temp.c_str());
    log(std::string(what) + " " + name + ": " + std::strerror(error));
    return false;
  };
  if (const std::string kind = notRegularReason(target.string()); !kind.empty()) {
    log(std::string("cannot replace ") + name + ": it " + kind);
    return false;
  }
  // A fresh file: whatever a crashed write or a person left under the
  // temporary name is neither followed nor waited on.
  ::unlink(temp.c_str());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return fail("cannot write", errno);
  if (!writeAll(fd, bytes)) {
    const int error = errno;
    ::close(fd);
    return fail("cannot write", error);
  }
  if (::close(fd) != 0) return fail("cannot write", errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail("cannot replace", errno);
  remember(name, &bytes);
  return true;
}

void StateDir::remove(const char* name) {
  std::error_code ec;
  fs::remove(dir_ / name, ec);
  remember(name, nullptr);
}

void StateDir::log(const std::string& line) {
  if (warnOnce("adapter emulator (" + dir_.string() + "): " + line)) note(line);
}

void StateDir::note(const std::string& line) {
  std::error_code ec;
  if (!fs::is_directory(dir_, ec)) return;
  const OpenedFile out = openRegularFile((dir_ / file::kLog).string(), O_WRONLY | O_APPEND | O_CREAT);
  if (!out.ok()) {
    warnOnce("adapter emulator (" + dir_.string() + "): " + file::kLog + " " + out.reason + "; nothing is noted in it");
    return;
  }
  const std::time_t now = std::time(nullptr);
  char when[32] = "";
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  writeAll(out.fd, std::string(when) + "  " + line + "\n");
  ::close(out.fd);
}

}  // namespace lw::emu
