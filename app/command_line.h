#pragma once
// The program's own command line: "PART FILE..." preselects a part and a
// file (the file's words are joined by single spaces); a single argument
// asks for an adapter firmware update at start-up, except an existing .hex,
// .bin or .kpj file, which is opened as a desktop's "Open with" passes it;
// "--help" and "--version" alone print and end the program. "--language
// en|zh" in front of all that chooses the language of this run.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lw {

inline constexpr std::size_t kPathUnits = 260;

enum class CommandLineRequest { Run, Help, Version };

struct CommandLine {
  CommandLineRequest request = CommandLineRequest::Run;
  std::string partName;
  std::string filePath;
  bool firmwareUpdate = false;
  bool pathTooLong = false;  // the joined file path does not fit 260 units
  std::optional<uint16_t> language;  // --language: the Language index of this run
  std::string error;         // a bad --language: what is wrong (the program prints it and ends)
};

using IsFileFn = std::function<bool(const std::string& path)>;

// args are the arguments after the program itself. isFile tells whether a
// path names an existing regular file (default: asks the file system).
CommandLine parseCommandLine(const std::vector<std::string>& args, const IsFileFn& isFile = {});

// What --help prints.
const char* commandLineHelpText();

}  // namespace lw
