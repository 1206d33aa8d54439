#pragma once
// The two ways a file is chosen for loading: the "Load File" button with
// its open dialog, and the file named on the command line at start-up.
#include <vector>

#include "core/ports/file_dialog_port.h"

namespace lw {

class CodeFileHost;

struct AppContext;

// The filters of the Load File dialog, the first one selected: every kind
// of code file the loader takes, then the five of raw, HEX and project files.
std::vector<FileFilter> loadFileFilters(const AppContext& ctx);

// "Load File": asks for a file (starting from "LoadPath"), remembers the
// choice in "LoadPath" and as the last loaded file, and loads it.
void loadFileCommand(CodeFileHost& host);

// Start-up: loads the file named on the command line at offset 0, when
// there is one and it exists. It does not become the last loaded file.
void loadCommandLineFile(CodeFileHost& host);

}  // namespace lw
