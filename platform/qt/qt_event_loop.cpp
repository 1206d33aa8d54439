#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace lw {

QtEventLoop::QtEventLoop() {
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                   [this] { quitting_ = true; });
}

void QtEventLoop::post(std::function<void()> call) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
}

bool QtEventLoop::dispatchPending() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return !quitting_;
}

}  // namespace lw
