#pragma once
// Language tables: table 256 + language index holds every user-visible
// text. A text may be "caption|tooltip".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "resources/resource_source.h"

namespace lw {

inline constexpr uint32_t kLanguageTableBase = 256;

// The text of key from the language table in use, or nothing.
std::optional<std::string> languageText(const ResourceSource& res, uint16_t languageIndex, uint16_t key);

// The part of a language text before the first '|' (the caption) and the
// part after it (the tooltip; empty when there is no '|').
std::string captionPart(std::string_view text);
std::string tooltipPart(std::string_view text);

}  // namespace lw
