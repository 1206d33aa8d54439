#include "link/run_report.h"

#include "core/codes.h"
#include "core/text.h"
#include "link/adapter_answer.h"
#include "link/adapter_status.h"

namespace lw {

std::string unreadAnswer(uint32_t readResult) {
  if (readResult == err::kWaitTimeout) return format("no answer within %u s", kAnswerTimeoutMs / 1000);
  return format("the answer could not be read: %s (error %u)", systemErrorText(readResult), readResult);
}

std::string wrongTag(uint8_t got, uint8_t expected) {
  return format("an answer with the wrong tag (0x%02X, expected 0x%02X)", got, expected);
}

std::string statusAnswer(const AnswerReport& a) {
  switch (a.status) {
    case adapter_status::kChecksumMismatch: return "status 1 (checksum mismatch)";
    case adapter_status::kVoltage: return format("status 2 (target supply %u mV)", a.millivolts);
    case adapter_status::kNoResponse: return "status 3 (the target does not respond)";
    default: return format("status %u", a.status);
  }
}

std::string firstDifference(const uint8_t* image, const uint8_t* readBack, uint32_t n) {
  uint32_t at = 0;
  while (at < n && image[at] == readBack[at]) ++at;
  if (at == n) return "no byte differs";
  return format("byte 0x%08X reads back 0x%02X, the image holds 0x%02X", at, readBack[at], image[at]);
}

std::string callAnswered(const char* call, int result) {
  if (result < 0) return format("%s is missing from the Link library", call);
  return format("%s answered %d (%s)", call, result, systemErrorText(static_cast<uint32_t>(result)));
}

}  // namespace lw
