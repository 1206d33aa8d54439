#include "platform/qt/qt_http_download.h"

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/codes.h"
#include "platform/qt/blocking_http_get.h"
#include "platform/qt/painting_only_wait.h"

namespace lw {

namespace {

using Clock = std::chrono::steady_clock;

// What the worker needs beyond its deadline to notice it and wind down.
constexpr std::chrono::milliseconds kWindDown{250};

// Shared by the caller and the worker, which may outlive the call.
struct DownloadJob {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  HttpGetResult result;
  std::atomic<bool> abandoned{false};
};

// TLS sockets need an application object. The command-line tool has none:
// one is made on its main thread and kept to the end of the process, since
// a worker given up on may still be using sockets.
void ensureApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "loomwrite";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv);
}

bool onApplicationThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

}  // namespace

uint32_t QtHttpDownload::download(const std::string& url, std::string& body, int timeoutMs) {
  body.clear();
  ensureApplication();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 1));
  auto job = std::make_shared<DownloadJob>();
  std::thread([job, url, deadline] {
    HttpGetResult result = blockingHttpGet(url, deadline, job->abandoned);
    std::lock_guard lock(job->mutex);
    job->result = std::move(result);
    job->done = true;
    job->ended.notify_all();
  }).detach();

  auto waitSlice = [&job](std::chrono::milliseconds slice) {
    std::unique_lock lock(job->mutex);
    return job->ended.wait_for(lock, slice, [&job] { return job->done; });
  };
  const Clock::time_point giveUp = deadline + kWindDown;
  bool done = false;
  if (onApplicationThread()) {
    done = waitPaintingOnly(waitSlice, giveUp);
  } else {
    std::unique_lock lock(job->mutex);
    done = job->ended.wait_until(lock, giveUp, [&job] { return job->done; });
  }
  if (!done) {
    job->abandoned = true;
    return err::kInternetTimeout;
  }
  std::lock_guard lock(job->mutex);
  body = std::move(job->result.body);
  return job->result.error;
}

}  // namespace lw
