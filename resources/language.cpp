#include "resources/language.h"

#include "resources/keyed_table.h"

namespace lw {

std::optional<std::string> languageText(const ResourceSource& res, uint16_t languageIndex, uint16_t key) {
  return textByKey(res, kLanguageTableBase + languageIndex, key);
}

std::string captionPart(std::string_view text) {
  return std::string(text.substr(0, text.find('|')));
}

std::string tooltipPart(std::string_view text) {
  const auto bar = text.find('|');
  return bar == std::string_view::npos ? std::string() : std::string(text.substr(bar + 1));
}

}  // namespace lw
