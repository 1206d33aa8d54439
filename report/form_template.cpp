#include "report/form_template.h"

namespace lw {

std::optional<std::u16string> requestFormTemplate(const ResourceSource& res) {
  const std::span<const uint8_t> bytes = res.find("TEXT", kRequestFormTemplateId);
  if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[0] != 0xFF || bytes[1] != 0xFE) return std::nullopt;
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;  // the resource compiler adds a terminator
    text += c;
  }
  return text;
}

std::optional<std::u16string> fillFields(std::u16string_view format, std::span<const std::u16string> values) {
  std::u16string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != u'%') {
      out += format[i];
      continue;
    }
    if (++i == format.size()) return std::nullopt;
    if (format[i] == u'%') {
      out += u'%';
      continue;
    }
    const bool left = format[i] == u'-';
    if (left) ++i;
    std::size_t width = 0;
    while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') width = width * 10 + (format[i++] - u'0');
    if (i == format.size() || format[i] != u's' || next == values.size()) return std::nullopt;
    const std::u16string& value = values[next++];
    const std::u16string pad(value.size() < width ? width - value.size() : 0, u' ');
    out += left ? value + pad : pad + value;
  }
  if (next != values.size()) return std::nullopt;
  return out;
}

}  // namespace lw
