#pragma once
// A clock the test drives: sleeping advances it at once.
#include <atomic>

#include "core/ports/clock_port.h"

namespace lw {

class ManualClock final : public ClockPort {
 public:
  uint32_t tickCountMs() override { return ticks_.load(); }
  void sleepMs(uint32_t ms) override { ticks_ += ms; }
  std::time_t calendarSeconds() override { return calendar_; }
  LocalTime localTime() override { return local_; }

  void advance(uint32_t ms) { ticks_ += ms; }
  void setLocalTime(const LocalTime& t) { local_ = t; }
  void setCalendarSeconds(std::time_t s) { calendar_ = s; }

 private:
  std::atomic<uint32_t> ticks_{0};
  std::time_t calendar_ = 0;
  LocalTime local_{2024, 1, 1, 0, 0, 0};
};

}  // namespace lw
