#include "link/dispatching_pause.h"

#include <algorithm>

#include "core/ports/clock_port.h"
#include "core/ports/event_loop_port.h"

namespace lw {

namespace {
// Short enough for a 100 ms animation to look smooth.
constexpr uint32_t kSliceMs = 20;
}  // namespace

void pauseDispatching(ClockPort& clock, EventLoopPort& loop, uint32_t ms) {
  uint32_t waited = 0;
  while (waited < ms) {
    if (!loop.dispatchPending()) return;
    const uint32_t slice = std::min(kSliceMs, ms - waited);
    clock.sleepMs(slice);
    waited += slice;
  }
}

}  // namespace lw
