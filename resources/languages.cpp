#include "resources/languages.h"

#include "core/text.h"
#include "resources/language.h"

namespace lw {

std::optional<uint16_t> languageIndexForCode(std::string_view code) {
  for (const OfferedLanguage& l : kOfferedLanguages)
    if (equalsIgnoreCase(code, l.code)) return l.index;
  return std::nullopt;
}

const char* languageCodeOf(uint16_t index) {
  for (const OfferedLanguage& l : kOfferedLanguages)
    if (l.index == index) return l.code;
  return kOfferedLanguages[0].code;
}

std::string languageCodeList() {
  std::string list;
  for (const OfferedLanguage& l : kOfferedLanguages) list += (list.empty() ? "" : "|") + std::string(l.code);
  return list;
}

bool languageAvailable(const ResourceSource& res, uint16_t index) {
  for (const OfferedLanguage& l : kOfferedLanguages)
    if (l.index == index) return languageText(res, index, textkey::kLanguageName).has_value();
  return false;
}

uint16_t usableLanguage(const ResourceSource& res, int64_t index) {
  if (index < 0 || index > UINT16_MAX) return language::kEnglish;
  const auto candidate = static_cast<uint16_t>(index);
  return languageAvailable(res, candidate) ? candidate : language::kEnglish;
}

std::vector<uint16_t> availableLanguages(const ResourceSource& res) {
  std::vector<uint16_t> out;
  for (const OfferedLanguage& l : kOfferedLanguages)
    if (languageAvailable(res, l.index)) out.push_back(l.index);
  return out;
}

std::string languageName(const ResourceSource& res, uint16_t index) {
  return languageText(res, index, textkey::kLanguageName).value_or(languageCodeOf(index));
}

}  // namespace lw
