#pragma once
// Reading a ".kpj" project file into the program: after the file has passed
// its checks, the project's series and part are selected, its option bytes
// shown in the check boxes and its image handed to the hex view.
#include <cstdint>
#include <span>
#include <string>

namespace lw {

class CodeFileHost;

// Returns 0 when the project was loaded, 1 when not. A file that fails the
// format checks is refused with "This file is incompatible format..." and
// changes nothing; a wrong magic, a newer version, a declined older version
// or a file without an image end with the part chosen afresh and the Code
// buffer empty; a project for a part this program does not offer is
// refused with "The target is not supported!" and changes nothing.
int readProjectFile(CodeFileHost& host, const std::string& path, std::span<const uint8_t> file);

}  // namespace lw
