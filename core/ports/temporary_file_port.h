#pragma once
// New, uniquely named empty files in the user's temporary folder, written
// through the descriptor that created them: the file is never opened again
// by its name for writing, so nothing can put another file in its place
// between its creation and its content.
#include <cstdint>
#include <memory>
#include <string>

namespace lw {

class TemporaryFile {
 public:
  virtual ~TemporaryFile() = default;  // closes the descriptor; the file stays until removed
  virtual const std::string& path() const = 0;
  // Appends all the bytes; 0, or the error number.
  virtual uint32_t write(const std::string& bytes) = 0;
};

class TemporaryFilePort {
 public:
  virtual ~TemporaryFilePort() = default;
  // Creates the file (its name starts with prefix), open for writing; null
  // with error set when it cannot be made.
  virtual std::unique_ptr<TemporaryFile> create(const std::string& prefix, uint32_t& error) = 0;
  virtual void remove(const std::string& path) = 0;
};

}  // namespace lw
