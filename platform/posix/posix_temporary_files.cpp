#include "platform/posix/posix_temporary_files.h"

#include <fcntl.h>
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

class PosixTemporaryFile final : public TemporaryFile {
 public:
  PosixTemporaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixTemporaryFile() override { ::close(fd_); }
  const std::string& path() const override { return path_; }
  uint32_t write(const std::string& bytes) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return n < 0 ? errorFromErrno(errno) : err::kGenFailure;
      done += static_cast<std::size_t>(n);
    }
    return err::kSuccess;
  }

 private:
  int fd_;
  std::string path_;
};

std::unique_ptr<TemporaryFile> createIn(const std::string& folder, const std::string& prefix, int& savedErrno) {
  std::string pattern = folder + "/" + prefix + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    savedErrno = errno;
    return nullptr;
  }
  return std::make_unique<PosixTemporaryFile>(fd, std::string(name.data()));
}

}  // namespace

std::unique_ptr<TemporaryFile> PosixTemporaryFiles::create(const std::string& prefix, uint32_t& error) {
  int savedErrno = 0;
  std::unique_ptr<TemporaryFile> file;
  const std::string folder = userTemporaryFolder();
  if (!folder.empty()) file = createIn(folder, prefix, savedErrno);
  if (!file && !fallbackFolder_.empty()) file = createIn(fallbackFolder_, prefix, savedErrno);
  error = file ? err::kSuccess : (savedErrno ? errorFromErrno(savedErrno) : err::kFileNotFound);
  return file;
}

void PosixTemporaryFiles::remove(const std::string& path) {
  if (!path.empty()) ::unlink(path.c_str());
}

}  // namespace lw
