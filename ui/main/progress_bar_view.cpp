#include "ui/main/progress_bar_view.h"

#include <algorithm>

#include "core/ids/language_keys.h"

namespace lw {

namespace {

bool isBlockWrite(OperationPhase phase) { return phase == OperationPhase::Program || phase == OperationPhase::Options; }

int percentOf(uint64_t done, uint64_t total) {
  return total == 0 ? 100 : static_cast<int>(std::min<uint64_t>(done * 100 / total, 100));
}

}  // namespace

uint16_t progressWordKey(OperationPhase phase) {
  switch (phase) {
    case OperationPhase::Verify: return textkey::kVerifying;
    case OperationPhase::Read: return textkey::kReading;
    default: return textkey::kCompleted;
  }
}

void ProgressBarView::show(const OperationProgress& e, uint32_t offset, const Draw& draw) {
  const uint16_t word = progressWordKey(e.phase);
  auto put = [&](int value) {
    draw(value, word);
    shown_ = value;
  };
  if (isBlockWrite(e.phase)) {
    if (e.ended) {
      put(static_cast<int>(std::min<uint64_t>(uint64_t{100} + offset, 100)));
      put(-1);
    } else if (e.total > 0) {
      put(static_cast<int>(std::min<uint64_t>(static_cast<uint64_t>(percentOf(e.done, e.total)) + offset, 100)));
    }
    return;
  }
  if (e.total == 0) return;
  const int percent = percentOf(e.done, e.total);
  if (e.ended) {
    if (e.done >= e.total && shown_ != 100) put(100);
    put(-1);
  } else if (percent != shown_) {
    put(percent);
  }
}

}  // namespace lw
