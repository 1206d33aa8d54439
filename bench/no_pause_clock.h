#pragma once
// The system clock, except that the program's fixed pauses (the 500 ms
// before the adapter check) are counted instead of slept: the benchmarks
// time the adapter's work, not the waits the program adds on purpose.
#include <cstdint>
#include <ctime>

#include "core/ports/clock_port.h"

namespace lw::bench {

class NoPauseClock final : public ClockPort {
 public:
  uint32_t tickCountMs() override { return systemClock().tickCountMs(); }
  void sleepMs(uint32_t ms) override { skippedMs += ms; }
  std::time_t calendarSeconds() override { return systemClock().calendarSeconds(); }
  LocalTime localTime() override { return systemClock().localTime(); }
  uint64_t skippedMs = 0;
};

}  // namespace lw::bench
