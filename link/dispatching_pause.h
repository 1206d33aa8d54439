#pragma once
// A pause on the user-interface thread that keeps dispatching its events:
// windows paint and timers run (the firmware-update prompt animates) while
// the user sees a deliberate wait. The caller holds a RunningOperation, so
// nothing dispatched meanwhile starts a dialog or changes the job.
#include <cstdint>

namespace lw {

class ClockPort;
class EventLoopPort;

// Waits ms by the clock; ends early when the program is quitting.
void pauseDispatching(ClockPort& clock, EventLoopPort& loop, uint32_t ms);

}  // namespace lw
