#pragma once
// The languages the program offers: a Language index each (table 256 +
// index), the code the command lines take ("en", "zh") and the name the
// table gives itself (key 0). English is the default: nothing switches by
// the system's locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ids/language_keys.h"

namespace lw {

class ResourceSource;

struct OfferedLanguage {
  uint16_t index;
  const char* code;
};

inline constexpr OfferedLanguage kOfferedLanguages[] = {
    {language::kEnglish, "en"},
    {language::kSimplifiedChinese, "zh"},
};

// "en" or "zh" (any letter case); nothing for any other text.
std::optional<uint16_t> languageIndexForCode(std::string_view code);
// The code of an offered index; "en" for any other.
const char* languageCodeOf(uint16_t index);
// "en|zh", for messages that list the choices.
std::string languageCodeList();

// Whether the resources hold the Language table of an offered index.
bool languageAvailable(const ResourceSource& res, uint16_t index);
// A stored or requested index when it is offered and its table present,
// else English: an unknown value never leaves the program without texts.
uint16_t usableLanguage(const ResourceSource& res, int64_t index);
// The offered languages whose tables are present, in the order above.
std::vector<uint16_t> availableLanguages(const ResourceSource& res);
// The language's own name (key 0 of its table: "English", "简体中文").
std::string languageName(const ResourceSource& res, uint16_t index);

}  // namespace lw
