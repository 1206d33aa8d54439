#pragma once
// Time as the logic sees it: the millisecond tick count, sleeping, the
// calendar time and the local time. Tests replace it with a clock they drive.
#include <cstdint>
#include <ctime>

namespace lw {

struct LocalTime {
  int year = 0;   // full year, e.g. 2024
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0, minute = 0, second = 0;
};

class ClockPort {
 public:
  virtual ~ClockPort() = default;
  virtual uint32_t tickCountMs() = 0;
  virtual void sleepMs(uint32_t ms) = 0;
  virtual std::time_t calendarSeconds() = 0;
  virtual LocalTime localTime() = 0;
};

// The real clock.
ClockPort& systemClock();

}  // namespace lw
