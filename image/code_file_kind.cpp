#include "image/code_file_kind.h"

#include <array>
#include <utility>

#include "core/text.h"

namespace lw {

namespace {

constexpr std::array<std::pair<std::string_view, CodeFileKind>, 9> kExtensions{{
    {".hex", CodeFileKind::IntelHex},
    {".kpj", CodeFileKind::Project},
    {".elf", CodeFileKind::Elf},
    {".axf", CodeFileKind::Elf},
    {".srec", CodeFileKind::SRecord},
    {".s19", CodeFileKind::SRecord},
    {".s28", CodeFileKind::SRecord},
    {".s37", CodeFileKind::SRecord},
    {".mot", CodeFileKind::SRecord},
}};

}  // namespace

CodeFileKind codeFileKindOf(std::string_view path) {
  const auto dot = path.find_last_of('.');
  if (dot == std::string_view::npos) return CodeFileKind::Raw;
  const std::string_view extension = path.substr(dot);
  for (const auto& [known, kind] : kExtensions) {
    if (equalsIgnoreCase(extension, known)) return kind;
  }
  return CodeFileKind::Raw;
}

std::string loadableFilePatterns() {
  std::string patterns = "*.bin";
  for (const auto& entry : kExtensions) patterns += ";*" + std::string(entry.first);
  return patterns;
}

}  // namespace lw
