#include "image/file_replace.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#if defined(__unix__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lw {

namespace fs = std::filesystem;

namespace {

// A name beside the target that no file has yet.
bool makeTemporaryPath(const fs::path& target, fs::path& out) {
  std::random_device seed;
  std::mt19937 gen(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target;
    candidate += ".tmp" + std::to_string(gen() % 1000000);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec))) {
      out = candidate;
      return true;
    }
  }
  return false;
}

std::string errnoText(int e) { return e ? std::strerror(e) : "Unknown error."; }

// Puts the written bytes on the disk before the rename makes them the
// target, so a power cut leaves either the old file or the complete new one.
bool syncToDisk(const fs::path& path) {
#if defined(__unix__)
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
#else
  (void)path;
  return true;
#endif
}

// Makes the rename itself durable.
void syncDirectory(const fs::path& dir) {
#if defined(__unix__)
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
#else
  (void)dir;
#endif
}

}  // namespace

FileReplaceResult replaceFileContent(const std::string& target,
                                     std::initializer_list<std::span<const uint8_t>> pieces) {
  const fs::path targetPath(target);
  fs::path temp;
  if (!makeTemporaryPath(targetPath, temp)) return {false, "No temporary file name is free."};

  errno = 0;
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  if (!out) return {false, errnoText(errno)};
  for (const auto& piece : pieces) {
    out.write(reinterpret_cast<const char*>(piece.data()), static_cast<std::streamsize>(piece.size()));
    if (!out) break;
  }
  if (out) out.flush();
  const int writeError = errno;
  const bool written = static_cast<bool>(out);
  out.close();
  std::error_code ignored;
  if (!written || out.fail()) {
    const int closeError = errno;
    fs::remove(temp, ignored);
    return {false, errnoText(writeError ? writeError : closeError)};
  }

  if (!syncToDisk(temp)) {
    const int syncError = errno;
    fs::remove(temp, ignored);
    return {false, errnoText(syncError)};
  }

  // A replaced file keeps its permissions.
  std::error_code ec;
  const fs::file_status old = fs::status(targetPath, ec);
  if (!ec && fs::is_regular_file(old)) fs::permissions(temp, old.permissions(), ignored);

  fs::rename(temp, targetPath, ec);
  if (ec) {
    fs::remove(temp, ignored);
    return {false, ec.message()};
  }
  syncDirectory(targetPath.parent_path());
  return {true, {}};
}

}  // namespace lw
