#include "platform/qt/painting_only_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <deque>

namespace lw {

namespace {

// Short enough that a window uncovered during the wait repaints at once.
constexpr std::chrono::milliseconds kSlice{15};

constexpr QEventLoop::ProcessEventsFlags kPaintOnly =
    QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;

// Both live on the user-interface thread only.
int waits = 0;
std::deque<std::function<void()>>& heldCalls() {
  static std::deque<std::function<void()>> calls;
  return calls;
}

void runHeldCalls() {
  while (waits == 0 && !heldCalls().empty()) {
    std::function<void()> call = std::move(heldCalls().front());
    heldCalls().pop_front();
    call();
  }
}

}  // namespace

void runPostedCall(std::function<void()> call) {
  if (waits > 0 || !heldCalls().empty()) {
    heldCalls().push_back(std::move(call));
    return;
  }
  call();
}

bool waitPaintingOnly(const std::function<bool(std::chrono::milliseconds slice)>& waitSlice,
                      std::chrono::steady_clock::time_point deadline) {
  ++waits;
  bool ended = false;
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    const auto slice = std::min(kSlice, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    if (waitSlice(slice)) {
      ended = true;
      break;
    }
    QCoreApplication::processEvents(kPaintOnly);
  }
  if (--waits == 0 && !heldCalls().empty())
    QMetaObject::invokeMethod(QCoreApplication::instance(), &runHeldCalls, Qt::QueuedConnection);
  return ended;
}

}  // namespace lw
