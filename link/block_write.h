#pragma once
// Writes a block of data into the target or the adapter: the Link library
// announces the block (command, address, byte count, byte sum), then the
// program sends the bytes itself as feature reports of 128 data bytes and
// reads the adapter's answer.
#include <cstdint>

namespace lw {

struct ProgrammingContext;

inline constexpr uint32_t kBlockReportData = 128;

// Returns 1 when the adapter accepted the block, 0 otherwise. Failures that
// the adapter reports with status 1, 2 or 3 are shown to the user; any other
// failure is left to the caller to report. While the reports go out the
// progress bar advances and waiting UI events are dispatched; when the
// program is quitting, the write stops with 0 and leaves the adapter open.
int blockWrite(ProgrammingContext& ctx, uint8_t command, const uint8_t* data, uint32_t address, uint32_t n);

}  // namespace lw
