#pragma once
// The request form's template (resource "TEXT" 171) and the one formatting
// step that fills its fields.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "resources/resource_source.h"

namespace lw {

inline constexpr uint32_t kRequestFormTemplateId = 171;
inline constexpr int kRequestFormFieldCount = 42;

// The template's text, UTF-16 without its byte-order mark (the mark says
// how the resource is encoded; it is not part of the form). Nothing when
// the resource is missing or not UTF-16LE with a mark.
std::optional<std::u16string> requestFormTemplate(const ResourceSource& res);

// Fills the template's "%s" fields in order, each "%[-][width]s" padding
// its value with blanks to the width (left-aligned with "-", else right);
// longer values are written whole. "%%" stands for "%". Nothing when the
// template holds a different number of fields or another conversion.
std::optional<std::u16string> fillFields(std::u16string_view format, std::span<const std::u16string> values);

}  // namespace lw
