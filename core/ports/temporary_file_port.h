#pragma once
// New, uniquely named empty files in the user's temporary folder.
#include <cstdint>
#include <string>

namespace lw {

class TemporaryFilePort {
 public:
  virtual ~TemporaryFilePort() = default;
  // Creates the file (its name starts with prefix) and returns its path, or
  // an empty path with error set.
  virtual std::string create(const std::string& prefix, uint32_t& error) = 0;
  virtual void remove(const std::string& path) = 0;
};

}  // namespace lw
