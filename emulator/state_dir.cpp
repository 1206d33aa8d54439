#include "emulator/state_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

namespace lw::emu {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kSmallFile = 16 * 1024;
}  // namespace

StateDir::StateDir(fs::path dir) : dir_(std::move(dir)) {}

bool StateDir::ensureExists() {
  std::error_code ec;
  if (fs::is_directory(dir_, ec)) return true;
  fs::create_directories(dir_, ec);
  if (ec) {
    std::fprintf(stderr, "adapter emulator: cannot create the state directory %s: %s\n", dir_.c_str(),
                 ec.message().c_str());
    return false;
  }
  return true;
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

std::optional<std::string> StateDir::readRaw(const char* name) const {
  std::ifstream in(dir_ / name, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
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
  auto content = readRaw(name);
  if (!content) {
    log(std::string("cannot read ") + name + ": " + std::strerror(errno));
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
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      const int e = errno;
      std::error_code ignored;
      fs::remove(temp, ignored);
      log(std::string("cannot write ") + name + ": " + std::strerror(e));
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    log(std::string("cannot replace ") + name + ": " + ec.message());
    return false;
  }
  remember(name, &bytes);
  return true;
}

void StateDir::remove(const char* name) {
  std::error_code ec;
  fs::remove(dir_ / name, ec);
  remember(name, nullptr);
}

void StateDir::log(const std::string& line) {
  std::fprintf(stderr, "adapter emulator (%s): %s\n", dir_.c_str(), line.c_str());
  note(line);
}

void StateDir::note(const std::string& line) {
  std::error_code ec;
  if (!fs::is_directory(dir_, ec)) return;
  std::ofstream out(dir_ / file::kLog, std::ios::app);
  const std::time_t now = std::time(nullptr);
  char when[32] = "";
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  out << when << "  " << line << "\n";
}

}  // namespace lw::emu
