#pragma once
// What a run writes must never take the place of what it reads: an output
// that is the same file as an input of the run (or as another output) is
// refused before anything is written, compared by the file itself (device
// and inode, symbolic links followed), not by its name. An output that
// exists and is not a regular file (a FIFO, a device, a directory) is
// refused too, since writing it would replace or wait on it.
#include <string>
#include <vector>

namespace lw::cli {

// A file a run names, and how the message calls it ("--out", "the input").
struct NamedFile {
  std::string role;
  std::string path;
};

// Empty when every output may be written, else the usage message.
// Outputs named "-" (standard output) are left out.
std::string refuseClashingOutputs(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs);

}  // namespace lw::cli
