#pragma once
// Combo boxes whose entries carry a number (item data).
#include <cstdint>
#include <optional>
#include <string>

namespace lw {

class DialogPort;

// The number of the selected entry, or 0 when nothing is selected.
uint32_t selectedNumber(const DialogPort& dialog, int comboId);

// Scans from the last entry to the first; selects the first entry met that
// carries the number and returns its position. Otherwise clears the
// selection and returns -1.
int selectByNumber(DialogPort& dialog, int comboId, uint32_t number);

// The text of the lowest-positioned entry carrying the number, or nothing.
std::optional<std::string> textByNumber(const DialogPort& dialog, int comboId, uint32_t number);

}  // namespace lw
