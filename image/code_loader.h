#pragma once
// Loading a code file into the Code buffer: ".kpj" files go to the project
// reader; HEX, S-record and ELF files (code_file_kind.h) are parsed into an
// image; every other file is taken byte for byte. Images are placed at the
// load offset and merged into the current buffer over 0xFF.
#include <string>

namespace lw {

class CodeFileHost;

enum LoadResult : int {
  kLoaded = 0,         // loaded, or the file was empty
  kNothingLoaded = 1,  // cannot be opened, area dialog cancelled, project or ELF file refused...
  kLoadCancelled = 2,  // cancelled at the size warning or the damaged-HEX/S-record warning
};

// Loads the file. Interactive loads ask for the area first; others keep the
// load offset. Nothing is changed unless the result is kLoaded.
int loadCodeFile(CodeFileHost& host, const std::string& path, bool interactive);

}  // namespace lw
