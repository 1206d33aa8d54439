#pragma once
// Text helpers shared by every subsystem. The program keeps text as UTF-8
// internally; the keyed tables hold UTF-16LE and project files hold the
// system's 8-bit code page, so conversions live here in one place.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

std::string utf16ToUtf8(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);
// Appends the code point c (at most U+10FFFF) as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Number of UTF-16 code units the text occupies (the unit in which the
// program's 260-unit path limits are counted).
std::size_t utf16Length(std::string_view utf8);

// The 8-bit code page used for names stored in project files and the
// adapter's serial string: Windows-1252. Characters it cannot represent
// become '?'.
std::string utf8ToCodePage(std::string_view utf8);
std::string codePageToUtf8(std::string_view bytes);

// Case-insensitive comparison for ASCII letters (part names, file
// extensions, device paths).
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);
std::string toLowerAscii(std::string_view text);

// Splits at any of the separator characters; runs of separators give
// empty pieces unless skipEmpty is set.
std::vector<std::string> splitAny(std::string_view text, std::string_view separators, bool skipEmpty);

// printf-style formatting into a std::string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// A text with numbered places: "%1".."%9" become the values in that order
// (a translation may name them in another order). A place without a value,
// and every other '%', stay as they are; values are never read as places.
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace lw
