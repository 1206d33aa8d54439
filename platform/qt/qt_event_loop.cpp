#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "platform/qt/painting_only_wait.h"

namespace lw {

QtEventLoop::QtEventLoop() {
  quitConnection_ = QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                                     [this] { quitting_ = true; });
}

// The application outlives the loop; its signal must not reach a dead one.
QtEventLoop::~QtEventLoop() {
  QObject::disconnect(quitConnection_);
  QObject::disconnect(finishedConnection_);
}

void QtEventLoop::quitWhenFinished(QDialog& mainWindow) {
  QObject::disconnect(finishedConnection_);
  quitting_ = false;
  finishedConnection_ = QObject::connect(&mainWindow, &QDialog::finished, [this] { quitting_ = true; });
}

void QtEventLoop::post(std::function<void()> call) {
  // A painting-only wait holds the call until it is over.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [call = std::move(call)]() mutable { runPostedCall(std::move(call)); },
      Qt::QueuedConnection);
}

bool QtEventLoop::dispatchPending() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return !quitting_;
}

}  // namespace lw
