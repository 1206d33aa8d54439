#pragma once
// Window timers on Qt: each id the logic uses maps to one Qt timer, and its
// ticks come back through the callback with that id.
#include <QHash>
#include <QObject>
#include <functional>

#include "core/ports/event_loop_port.h"

namespace lw {

class QtTimers final : public QObject, public TimerPort {
  Q_OBJECT

 public:
  explicit QtTimers(std::function<void(int id)> onTick, QObject* parent = nullptr)
      : QObject(parent), onTick_(std::move(onTick)) {}
  ~QtTimers() override;

  void startTimer(int id, int periodMs) override;
  void killTimer(int id) override;
  bool isRunning(int id) const { return running_.contains(id); }

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  std::function<void(int)> onTick_;
  QHash<int, int> running_;  // our id -> Qt timer id
};

}  // namespace lw
