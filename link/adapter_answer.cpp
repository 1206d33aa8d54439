#include "link/adapter_answer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/codes.h"
#include "link/hid_transport_port.h"
#include "link/programming_context.h"
#include "core/ports/clock_port.h"

namespace lw {

AnswerReport parseAnswer(const AnswerBuffer& buffer) {
  AnswerReport a;
  a.tag = buffer[0];
  a.status = static_cast<uint16_t>(buffer[2] | (buffer[3] << 8));
  a.millivolts = static_cast<uint16_t>(buffer[4] | (buffer[5] << 8));
  return a;
}

uint32_t readAnswer(ProgrammingContext& ctx, AnswerBuffer& destination) {
  const uint32_t handle = ctx.link.openHandle();
  const std::size_t length = ctx.link.hidDevice ? ctx.link.hidDevice->inputReportLength : 0;
  if (handle == 0) return err::kDeviceNotConnected;
  if (length < 2) return err::kInvalidData;  // no room for a report ID and data

  std::vector<uint8_t> report(length, 0);
  const uint32_t result = ctx.hid.readInput(handle, report.data(), length, kAnswerTimeoutMs);
  if (result == err::kWaitTimeout) {
    ctx.hid.cancelIo(handle);
    return err::kWaitTimeout;
  }
  if (result != 0) return result;
  // Reports longer than the answer buffer keep only what fits.
  const std::size_t n = std::min(length - 1, destination.size());
  std::memcpy(destination.data(), report.data() + 1, n);
  return 0;
}

void makeRequestTag(IceRecord& ice, ClockPort& clock) {
  std::srand(static_cast<unsigned>(clock.calendarSeconds()));
  const unsigned random = static_cast<unsigned>(std::rand()) & 0xFF;
  const unsigned ticks = clock.tickCountMs() & 0xFF;
  ice.requestTag = static_cast<uint8_t>(ticks * random);
}

}  // namespace lw
