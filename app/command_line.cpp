#include "app/command_line.h"

#include <filesystem>

#include "core/text.h"
#include "image/code_file_kind.h"
#include "resources/languages.h"

namespace lw {

namespace {

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

// A file a desktop's "Open with" may hand over: only the kinds the program
// opens (raw .bin, and every kind the loader tells by its extension), and
// only when it exists, so that any other single argument keeps asking for
// the firmware update as before.
bool isOpenableFile(const std::string& arg, const IsFileFn& isFile) {
  const auto dot = arg.find_last_of('.');
  if (dot == std::string::npos || arg.find_first_of("/\\", dot) != std::string::npos) return false;
  const std::string_view ext = std::string_view(arg).substr(dot);
  if (!equalsIgnoreCase(ext, ".bin") && codeFileKindOf(ext) == CodeFileKind::Raw) return false;
  return isFile ? isFile(arg) : isRegularFile(arg);
}

}  // namespace

const char* commandLineHelpText() {
  return "usage: loomwrite [--language en|zh] [PART FILE... | FILE | ARGUMENT | --help | --version]\n"
         "  (nothing)          start on the part used last\n"
         "  PART FILE...       select PART and load FILE; the words after PART are joined\n"
         "                     by single spaces into one path\n"
         "  FILE               one existing code file (.bin, .hex, .srec, .s19, .s28,\n"
         "                     .s37, .mot, .elf, .axf) or project (.kpj), as a desktop's\n"
         "                     \"Open with\" passes it: load it on the part used last; a\n"
         "                     project brings its own part\n"
         "  ARGUMENT           any other single argument: check the adapter's firmware at\n"
         "                     start-up as one that must be updated\n"
         "  --help, --version  print this text or the program's version and exit\n"
         "  --language en|zh   this run in English or Simplified Chinese (default: the\n"
         "                     language chosen in the window menu, else English)\n"
         "loomwrite-cli runs the same operations without a window (loomwrite-cli --help).\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& given, const IsFileFn& isFile) {
  CommandLine cl;
  // --language is taken only in front, so that the words of a part and a
  // path are never read as options.
  std::vector<std::string> args = given;
  if (!args.empty() && (args[0] == "--language" || args[0].rfind("--language=", 0) == 0)) {
    const bool joined = args[0] != "--language";
    if (!joined && args.size() < 2) {
      cl.error = "--language needs " + languageCodeList();
      return cl;
    }
    const std::string code = joined ? args[0].substr(std::string_view("--language=").size()) : args[1];
    cl.language = languageIndexForCode(code);
    if (!cl.language) {
      cl.error = "--language needs " + languageCodeList() + ", not '" + code + "'";
      return cl;
    }
    args.erase(args.begin(), args.begin() + (joined ? 1 : 2));
  }
  if (args.size() == 1) {
    const std::string& a = args[0];
    if (a == "--help" || a == "-h") {
      cl.request = CommandLineRequest::Help;
    } else if (a == "--version") {
      cl.request = CommandLineRequest::Version;
    } else if (isOpenableFile(a, isFile)) {
      cl.filePath = a;
      if (utf16Length(cl.filePath) >= kPathUnits) {
        cl.pathTooLong = true;
        cl.filePath.clear();
      }
    } else {
      cl.firmwareUpdate = true;
    }
    return cl;
  }
  if (args.size() < 2) return cl;

  // The shell has already split the words; a quoted argument may still hold
  // spaces, so split everything again at runs of spaces: the first word is
  // the part, the rest is the file path joined by single spaces.
  std::string whole;
  for (const std::string& a : args) whole += a + ' ';
  const std::vector<std::string> pieces = splitAny(whole, " ", true);
  if (pieces.empty()) return cl;
  cl.partName = pieces[0];
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    if (i > 1) cl.filePath += ' ';
    cl.filePath += pieces[i];
  }
  if (utf16Length(cl.filePath) >= kPathUnits) {
    cl.pathTooLong = true;
    cl.filePath.clear();
  }
  return cl;
}

}  // namespace lw
