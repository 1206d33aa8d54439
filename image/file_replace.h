#pragma once
// Replacing a file's whole content without ever leaving a half-written file
// in its place: the bytes go to a new file beside the target, which is
// renamed over the target only once every byte is on the disk. Where the
// system allows it the new file has no name until it is complete, and a
// save removes the temporaries an earlier save left when it was killed, so
// no full-size stray file stays beside the target. A target that is a
// symbolic link keeps the link: the file it points to is replaced.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace lw {

struct FileReplaceResult {
  bool ok = false;
  std::string detail;  // the system's reason when it failed
  int error = 0;       // and its error number (errno)
};

// Writes the pieces one after the other as the new content of `target`.
// On failure the target is untouched and no temporary file is left.
FileReplaceResult replaceFileContent(const std::string& target,
                                     std::initializer_list<std::span<const uint8_t>> pieces);

// The steps of a replacement, for tests that stop a save between them.
enum class FileReplaceStep { Created, Written, Synced, Named, Renamed };
using FileReplaceStepHook = void (*)(FileReplaceStep);
void setFileReplaceStepHook(FileReplaceStepHook hook);

// The file a save onto `target` replaces: `target` with its symbolic links
// followed (at most 40 of them), or `target` itself when it is not a link.
std::string replacementTargetOf(const std::string& target);

}  // namespace lw
