#pragma once
// The progress bar over the status line as a view of the operations'
// progress events: which value the bar shows for each event, and under
// which word ("Completed ...40%", "Verifying ...40%", "Reading ...40%").
#include <cstdint>
#include <functional>

#include "core/ports/operation_progress_port.h"

namespace lw {

class ProgressBarView {
 public:
  // Draws the bar: 0..100 percent, or a negative value that removes it.
  using Draw = std::function<void(int value, uint16_t wordKey)>;

  // Phases that move no bytes draw nothing. A block write draws every step,
  // raised by offset percent (the Part record's progress offset, capped at
  // 100), and ends full before the bar goes, whatever it reached: the
  // adapter's answer tells whether the block was taken. A read draws each
  // percentage once and ends full only when it read everything.
  void show(const OperationProgress& event, uint32_t offset, const Draw& draw);

 private:
  int shown_ = -2;  // the value drawn last; -2 before any
};

// The Language table key of the bar's word in a phase.
uint16_t progressWordKey(OperationPhase phase);

}  // namespace lw
