#include "platform/posix/posix_temporary_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "core/codes.h"

namespace lw {

namespace {

std::string userTemporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  std::string folder = dir && *dir ? dir : "/tmp";
  struct stat st{};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  return folder;
}

std::string createIn(const std::string& folder, const std::string& prefix, int& savedErrno) {
  std::string pattern = folder + "/" + prefix + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    savedErrno = errno;
    return {};
  }
  ::close(fd);
  return std::string(name.data());
}

}  // namespace

std::string PosixTemporaryFiles::create(const std::string& prefix, uint32_t& error) {
  int savedErrno = 0;
  std::string path;
  const std::string folder = userTemporaryFolder();
  if (!folder.empty()) path = createIn(folder, prefix, savedErrno);
  if (path.empty() && !fallbackFolder_.empty()) path = createIn(fallbackFolder_, prefix, savedErrno);
  error = path.empty() ? (savedErrno ? errorFromErrno(savedErrno) : err::kFileNotFound) : err::kSuccess;
  return path;
}

void PosixTemporaryFiles::remove(const std::string& path) {
  if (!path.empty()) ::unlink(path.c_str());
}

}  // namespace lw
