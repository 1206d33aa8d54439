#pragma once
// The platform's open and save file dialogs.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lw {

struct FileFilter {
  std::string label;    // e.g. "Bin Format(*.bin)"
  std::string pattern;  // e.g. "*.bin" or "*.bin;*.hex"
};

// A filter whose label is its name with the patterns in parentheses.
inline FileFilter namedFileFilter(const std::string& name, const std::string& pattern) {
  return {name + "(" + pattern + ")", pattern};
}

class FileDialogPort {
 public:
  virtual ~FileDialogPort() = default;
  // Asks for an existing file. initialPath may name a file or a directory.
  virtual std::optional<std::string> openFile(const std::string& initialPath,
                                              const std::vector<FileFilter>& filters) = 0;
  // Asks for a file to write; asks before overwriting an existing one and
  // appends defaultExtension when the name has none.
  virtual std::optional<std::string> saveFile(const std::string& initialPath,
                                              const std::vector<FileFilter>& filters,
                                              const std::string& defaultExtension) = 0;
};

}  // namespace lw
