#pragma once
// The off-line header: what the adapter needs besides the code to program
// targets on its own (part, code length and checksum, option bytes, max
// counter and serial-number scheme). 69 + k bytes for k option bytes,
// multi-byte values least significant byte first.
#include <cstdint>
#include <vector>

#include "core/abi/offline_header_layout.h"
#include "core/offline_settings.h"
#include "core/part_record.h"

namespace lw {

// The header for the Part record's applied part, code size and code
// checksum, and the off-line settings.
std::vector<uint8_t> buildOfflineHeader(const PartRecord& part, const OfflineSettings& settings);

}  // namespace lw
