#pragma once
// Keyed tables: resources of type "DYNAMIC" holding {u16 key, UTF-16LE text,
// u16 0} entries, ended by key 0xFFFF. They carry every text of the user
// interface and every part descriptor.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "resources/resource_source.h"

namespace lw {

inline constexpr char kKeyedTableType[] = "DYNAMIC";
inline constexpr uint16_t kTableEnd = 0xFFFF;

// The text of the first entry with the key, as a duplicate the caller owns;
// nothing when the table or the key is missing. Only the low 16 bits of
// the table number select the table.
std::optional<std::u16string> textByKey16(const ResourceSource& res, uint32_t table, uint16_t key);
std::optional<std::string> textByKey(const ResourceSource& res, uint32_t table, uint16_t key);

// Converts text as an unsigned 32-bit number with automatic base: "0x"/"0X"
// hexadecimal, leading 0 octal, otherwise decimal; leading white space is
// skipped and conversion stops at the first character that does not belong.
uint32_t parseNumberAuto(std::string_view text);

// textByKey converted with parseNumberAuto; 0 when there is no text.
uint32_t numberByKey(const ResourceSource& res, uint32_t table, uint16_t key);

}  // namespace lw
