#include "app/command_line.h"

#include "core/text.h"

namespace lw {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  if (args.size() == 1) {
    cl.firmwareUpdate = true;
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
