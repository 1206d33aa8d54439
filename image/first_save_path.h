#pragma once
// The path the save dialog proposes when no project has been saved yet: the
// program's own file name with ".kpj", beside the program when its folder
// can be written, else in the user's documents folder, else in the home
// folder. (An installed program lives in a system folder the user cannot
// write, and proposing the program file itself would list the executable
// under the project filter.)
#include <string>

namespace lw {

// documentsFolder may be empty; the home folder comes from $HOME.
std::string firstSaveProposal(const std::string& programPath, const std::string& documentsFolder);

}  // namespace lw
