#pragma once
// Replacing a file's whole content without ever leaving a half-written file
// in its place: the bytes go to a new file beside the target, which is
// renamed over the target only once every byte is written.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace lw {

struct FileReplaceResult {
  bool ok = false;
  std::string detail;  // the system's reason when it failed
};

// Writes the pieces one after the other as the new content of `target`.
// On failure the target is untouched and no temporary file is left.
FileReplaceResult replaceFileContent(const std::string& target,
                                     std::initializer_list<std::span<const uint8_t>> pieces);

}  // namespace lw
