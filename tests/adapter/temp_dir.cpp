#include "tests/adapter/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lw::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lw-adapter-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& text) const {
  // Through a rename, as an editor would, so a reader sees the change at once.
  const auto temp = path_ / (name + ".edit");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
  }
  std::filesystem::rename(temp, path_ / name);
}

std::string TempDir::read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<uint8_t> TempDir::readBytes(const std::string& name) const {
  const std::string s = read(name);
  return {s.begin(), s.end()};
}

}  // namespace lw::test
