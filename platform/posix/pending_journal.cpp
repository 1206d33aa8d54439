#include "platform/posix/pending_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "core/json_writer.h"
#include "core/regular_file.h"
#include "platform/posix/locked_append.h"
#include "production/record_text.h"

namespace lw {

namespace {

constexpr const char* kStoreKey = "log";

std::string reason(const std::string& what) { return what + ": " + std::strerror(errno); }

// The journal's lock, held while the descriptor is open.
class JournalLock {
 public:
  JournalLock(const std::string& path, bool wait) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
      why_ = reason(path + " cannot be opened");
      return;
    }
    int r;
    do r = ::flock(fd_, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
      busy_ = errno == EWOULDBLOCK;
      why_ = busy_ ? "" : reason(path + " cannot be locked");
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~JournalLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;
  bool held() const { return fd_ >= 0; }
  bool busy() const { return busy_; }
  const std::string& why() const { return why_; }

 private:
  int fd_ = -1;
  bool busy_ = false;
  std::string why_;
};

std::string lineOf(const PendingRow& row) {
  JsonObject json;
  json.add(kStoreKey, row.store);
  addRecordFields(json, row.record);
  return withLineSeparatorsEscaped(json.str()) + "\n";
}

bool syncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

// text into path through a synced temporary file and a rename.
std::string replaceFile(const std::string& dir, const std::string& path, const std::string& text) {
  const std::string temporary = path + ".new";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return reason(temporary + " cannot be created");
  const bool written = writeWholeText(fd, text) && ::fsync(fd) == 0;
  const std::string failure = written ? "" : reason(temporary + " cannot be written");
  ::close(fd);
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0 && syncDirectory(dir)) return {};
  const std::string why = failure.empty() ? reason(path + " cannot be replaced") : failure;
  ::unlink(temporary.c_str());
  return why;
}

}  // namespace

PendingJournal::PendingJournal(std::string dir)
    : dir_(std::move(dir)), path_(dir_ + "/pending-rows.jsonl"), lockPath_(dir_ + "/pending-rows.lock") {}

std::string PendingJournal::defaultDir() {
  const char* state = std::getenv("XDG_STATE_HOME");
  // A relative XDG path is to be ignored, as the base directory rules say.
  if (state && state[0] == '/') return std::string(state) + "/loomwrite";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/state/loomwrite";
  return {};
}

std::string PendingJournal::add(const PendingRow& row) const {
  if (dir_.empty()) return "there is no state directory for it (neither XDG_STATE_HOME nor HOME is set)";
  std::error_code ec;
  std::filesystem::create_directories(dir_, ec);
  if (ec) return dir_ + " cannot be made: " + ec.message();
  ::chmod(dir_.c_str(), 0700);
  const JournalLock lock(lockPath_, true);
  if (!lock.held()) return lock.why();
  const std::string why = appendLogLine(path_, "", lineOf(row));
  return why.empty() ? why : path_ + " " + why;
}

std::string PendingJournal::settle(bool wait, const std::function<std::vector<bool>(const Taken&)>& deliver,
                                   bool* busy) const {
  if (busy) *busy = false;
  if (dir_.empty() || !std::filesystem::exists(path_)) return {};
  const JournalLock lock(lockPath_, wait);
  if (!lock.held()) {
    if (busy) *busy = lock.busy();
    return lock.why();
  }
  const OpenedFile file = openRegularFile(path_, O_RDONLY);
  if (!file.ok()) return path_ + " " + file.reason;
  struct stat st {};
  std::string text;
  const bool read = ::fstat(file.fd, &st) == 0 && readWholeFile(file.fd, st.st_size, text);
  ::close(file.fd);
  if (!read) return reason(path_ + " cannot be read");

  Taken taken;
  std::vector<std::string> rowLines, damagedLines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    PendingRow row;
    if (recordFromJsonLine(line, row.record, kStoreKey, &row.store) && !row.store.empty()) {
      taken.rows.push_back(std::move(row));
      rowLines.push_back(line + "\n");
    } else {
      damagedLines.push_back(line + "\n");
    }
  }
  taken.damaged = damagedLines.size();
  const std::vector<bool> pending = deliver(taken);
  std::string kept;
  for (std::size_t i = 0; i < rowLines.size(); ++i)
    if (i >= pending.size() || pending[i]) kept += rowLines[i];
  for (const std::string& line : damagedLines) kept += line;
  if (kept == text) return {};
  if (kept.empty()) {
    if (::unlink(path_.c_str()) != 0 || !syncDirectory(dir_)) return reason(path_ + " cannot be removed");
    return {};
  }
  return replaceFile(dir_, path_, kept);
}

}  // namespace lw
