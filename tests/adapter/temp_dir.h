#pragma once
// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lw::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  void write(const std::string& name, const std::string& text) const;
  std::string read(const std::string& name) const;
  std::vector<uint8_t> readBytes(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace lw::test
