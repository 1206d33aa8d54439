#pragma once
// Loading a code file into the Code buffer: ".kpj" files go to the project
// reader, ".hex" files (any letter case) are parsed as Intel HEX, every
// other file is taken byte for byte. Raw and HEX images are placed at the
// load offset and merged into the current buffer over 0xFF.
#include <string>

namespace lw {

class CodeFileHost;

enum LoadResult : int {
  kLoaded = 0,         // loaded, or the file was empty
  kNothingLoaded = 1,  // cannot be opened, area dialog cancelled, project refused...
  kLoadCancelled = 2,  // cancelled at the size warning or the damaged-HEX warning
};

// Loads the file. Interactive loads ask for the area first; others keep the
// load offset. Nothing is changed unless the result is kLoaded.
int loadCodeFile(CodeFileHost& host, const std::string& path, bool interactive);

}  // namespace lw
