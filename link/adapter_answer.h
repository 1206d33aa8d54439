#pragma once
// The adapter's answer to a request: one input report read from the open
// adapter, and the request tag the adapter echoes in it.
#include <array>
#include <cstdint>

namespace lw {

struct ProgrammingContext;
class ClockPort;
struct IceRecord;

inline constexpr uint32_t kAnswerTimeoutMs = 4000;
inline constexpr std::size_t kAnswerBufferSize = 64;

using AnswerBuffer = std::array<uint8_t, kAnswerBufferSize>;

// An answer without its report-ID byte: tag echo, one unused byte, status
// and target millivolts (both least significant byte first).
struct AnswerReport {
  uint8_t tag = 0;
  uint16_t status = 0;
  uint16_t millivolts = 0;
};

AnswerReport parseAnswer(const AnswerBuffer& buffer);

// Reads one answer into destination: 0, 258 when none came within 4,000 ms
// (the pending read is cancelled), or the read's error number. On failure
// the destination is left untouched.
uint32_t readAnswer(ProgrammingContext& ctx, AnswerBuffer& destination);

// Puts a new request tag into Ice: the pseudo-random generator seeded with
// the calendar seconds, mixed with the low byte of the tick count.
void makeRequestTag(IceRecord& ice, ClockPort& clock);

}  // namespace lw
