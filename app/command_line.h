#pragma once
// The program's own command line: "PART FILE..." preselects a part and a
// file (the file's words are joined by single spaces); a single argument
// asks for an adapter firmware update at start-up.
#include <string>
#include <vector>

namespace lw {

inline constexpr std::size_t kPathUnits = 260;

struct CommandLine {
  std::string partName;
  std::string filePath;
  bool firmwareUpdate = false;
  bool pathTooLong = false;  // the joined file path does not fit 260 units
};

// args are the arguments after the program itself.
CommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace lw
