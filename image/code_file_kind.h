#pragma once
// What the loader makes of a file, told by its extension (any letter case):
// ".kpj" a project, ".hex" Intel HEX, ".srec", ".s19", ".s28", ".s37" and
// ".mot" S-record, ".elf" and ".axf" ELF; any other file is raw bytes.
#include <string>
#include <string_view>

namespace lw {

enum class CodeFileKind { Raw, IntelHex, SRecord, Elf, Project };

CodeFileKind codeFileKindOf(std::string_view path);

// Every extension the loader takes, as open-dialog patterns:
// "*.bin;*.hex;*.kpj;*.elf;...", raw binary's ".bin" first.
std::string loadableFilePatterns();

}  // namespace lw
