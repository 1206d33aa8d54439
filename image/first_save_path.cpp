#include "image/first_save_path.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lw {

namespace {

namespace fs = std::filesystem;

bool writableFolder(const fs::path& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string firstSaveProposal(const std::string& programPath, const std::string& documentsFolder) {
  const fs::path program(programPath);
  const fs::path name = program.stem().string() + ".kpj";
  const char* home = std::getenv("HOME");
  for (const fs::path& folder : {program.parent_path(), fs::path(documentsFolder), fs::path(home ? home : "")}) {
    if (writableFolder(folder)) return (folder / name).string();
  }
  return (program.parent_path() / name).string();  // nowhere to write: the dialog says so
}

}  // namespace lw
