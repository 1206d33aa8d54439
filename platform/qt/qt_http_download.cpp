#include "platform/qt/qt_http_download.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "core/codes.h"

namespace lw {

namespace {

constexpr char kUserAgent[] = "Loom32Agent";

uint32_t fetch(const std::string& url, const std::string& targetPath, int timeoutMs) {
  QNetworkAccessManager manager;
  manager.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
  manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);

  QNetworkRequest request(QUrl(QString::fromStdString(url)));
  request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromLatin1(kUserAgent));
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

  QFile file(QString::fromStdString(targetPath));
  qint64 written = 0;
  bool writeFailed = false;
  bool timedOut = false;

  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  std::unique_ptr<QNetworkReply> reply(manager.get(request));

  // Takes what has arrived, up to the cap; the file is created on the first
  // bytes so that an empty answer writes nothing.
  auto drain = [&] {
    while (!writeFailed && reply->bytesAvailable() > 0 && written < qint64(kMaxDownloadBytes)) {
      const QByteArray chunk = reply->read(qMin<qint64>(4096, qint64(kMaxDownloadBytes) - written));
      if (chunk.isEmpty()) break;
      if (!file.isOpen() && !file.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        writeFailed = true;
        break;
      }
      if (file.write(chunk) != chunk.size()) {
        writeFailed = true;
        break;
      }
      written += chunk.size();
    }
    if (writeFailed || written >= qint64(kMaxDownloadBytes)) reply->abort();
  };
  QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, drain);
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    reply->abort();
  });
  deadline.start(timeoutMs > 0 ? timeoutMs : 1);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  deadline.stop();
  if (!timedOut && !writeFailed) drain();
  file.close();

  if (writeFailed) return err::kAccessDenied;
  if (timedOut) return err::kInternetTimeout;
  if (written == 0) return err::kInternetCannotConnect;
  return err::kSuccess;
}

}  // namespace

uint32_t QtHttpDownload::download(const std::string& url, const std::string& targetPath, int timeoutMs) {
  if (QCoreApplication::instance()) return fetch(url, targetPath, timeoutMs);
  int argc = 1;
  char name[] = "loomwrite";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  return fetch(url, targetPath, timeoutMs);
}

}  // namespace lw
