#include "platform/qt/qt_timers.h"

#include <QTimerEvent>

namespace lw {

QtTimers::~QtTimers() {
  for (int qtId : std::as_const(running_)) QObject::killTimer(qtId);
}

void QtTimers::startTimer(int id, int periodMs) {
  killTimer(id);
  const int qtId = QObject::startTimer(periodMs);
  if (qtId != 0) running_.insert(id, qtId);
}

void QtTimers::killTimer(int id) {
  const auto it = running_.find(id);
  if (it == running_.end()) return;
  QObject::killTimer(it.value());
  running_.erase(it);
}

void QtTimers::timerEvent(QTimerEvent* event) {
  for (auto it = running_.cbegin(); it != running_.cend(); ++it) {
    if (it.value() == event->timerId()) {
      const int id = it.key();
      if (onTick_) onTick_(id);
      return;
    }
  }
}

}  // namespace lw
