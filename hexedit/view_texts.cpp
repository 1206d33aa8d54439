#include "hexedit/view_texts.h"

#include <array>

namespace lw::hexedit {

namespace {

struct Texts {
  const char* english;
  const char* chinese;
};

// In the order of ViewText.
constexpr std::array<Texts, 9> kTexts = {{
    {"Copy", "复制"},
    {"Paste", "粘贴"},
    {"Undo", "撤销"},
    {"Redo", "重做"},
    {"Select All", "全选"},
    {"Go to Address...", "转到地址..."},
    {"Go to Address", "转到地址"},
    {"Address (hexadecimal):", "地址（十六进制）："},
    {"\"%1\" is not an address in the buffer (0 to %2).", "“%1”不是缓冲区中的地址（0 到 %2）。"},
}};

}  // namespace

const char* viewText(ViewText text, uint16_t languageIndex) {
  const Texts& t = kTexts[static_cast<std::size_t>(text)];
  return languageIndex == 1 ? t.chinese : t.english;
}

}  // namespace lw::hexedit
