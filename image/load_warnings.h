#pragma once
// The boxes a load shows about the file it reads: data a damaged HEX or
// S-record file leaves unread, and an ELF file refused or cut down to its
// flash content.
#include <cstddef>
#include <string>

namespace lw {

struct AppContext;
struct ElfImage;

// Warns that reading stopped at `line` before all the data (reason: the
// format's own text) and asks whether to load what came before. True for OK.
bool confirmPartialLoad(AppContext& ctx, const std::string& reason, std::size_t line, const std::string& path);

// An error box naming why the ELF file is refused (false), or, for a file
// taken, a warning naming the segments left out, if any (true).
bool acceptElfImage(AppContext& ctx, const ElfImage& elf);

}  // namespace lw
