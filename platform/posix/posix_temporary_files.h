#pragma once
// Temporary files with mkstemp in the user's temporary folder ($TMPDIR, else
// /tmp), or beside the program when that folder cannot be used.
#include <string>

#include "core/ports/temporary_file_port.h"

namespace lw {

class PosixTemporaryFiles final : public TemporaryFilePort {
 public:
  explicit PosixTemporaryFiles(std::string fallbackFolder) : fallbackFolder_(std::move(fallbackFolder)) {}
  std::unique_ptr<TemporaryFile> create(const std::string& prefix, uint32_t& error) override;
  void remove(const std::string& path) override;

 private:
  std::string fallbackFolder_;
};

}  // namespace lw
