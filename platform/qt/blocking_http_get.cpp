#include "platform/qt/blocking_http_get.h"

#include <QHostInfo>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QTcpSocket>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "core/codes.h"
#include "core/ports/http_download_port.h"
#include "update/http_response_reader.h"

namespace lw {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUserAgent[] = "Loom32Agent";
// Waits are cut into slices this long so that a worker given up on ends soon.
constexpr int kSliceMs = 50;

enum class Step { Ok, TimedOut, Failed };

class Exchange {
 public:
  Exchange(Clock::time_point deadline, const std::atomic<bool>& abandoned) : deadline_(deadline), abandoned_(abandoned) {}

  // One request and its response; the response is read into reader.
  Step run(const QUrl& url, HttpResponseReader& reader);

 private:
  int sliceMs() const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kSliceMs));
  }
  bool timeLeft() const { return Clock::now() < deadline_ && !abandoned_; }
  Step connect(const QUrl& url);
  Step send(const QByteArray& request);
  Step receive(HttpResponseReader& reader);

  const Clock::time_point deadline_;
  const std::atomic<bool>& abandoned_;
  std::unique_ptr<QTcpSocket> socket_;
};

Step Exchange::connect(const QUrl& url) {
  const bool tls = url.scheme() == QLatin1String("https");
  const quint16 port = static_cast<quint16>(url.port(tls ? 443 : 80));
  // The one wait that cannot be cut: the system's host-name lookup.
  const QHostInfo host = QHostInfo::fromName(url.host());
  if (!timeLeft()) return Step::TimedOut;
  for (const QHostAddress& address : host.addresses()) {
    if (tls) {
      auto* ssl = new QSslSocket;
      socket_.reset(ssl);
      ssl->setProxy(QNetworkProxy::NoProxy);
      // The certificate is checked against the name in the URL.
      ssl->connectToHostEncrypted(address.toString(), port, url.host());
      while (timeLeft() && !ssl->isEncrypted() && ssl->state() != QAbstractSocket::UnconnectedState)
        ssl->waitForEncrypted(sliceMs());
      if (ssl->isEncrypted()) return Step::Ok;
    } else {
      socket_ = std::make_unique<QTcpSocket>();
      socket_->setProxy(QNetworkProxy::NoProxy);
      socket_->connectToHost(address, port);
      while (timeLeft() && socket_->state() != QAbstractSocket::ConnectedState &&
             socket_->state() != QAbstractSocket::UnconnectedState)
        socket_->waitForConnected(sliceMs());
      if (socket_->state() == QAbstractSocket::ConnectedState) return Step::Ok;
    }
    if (!timeLeft()) return Step::TimedOut;
  }
  return Step::Failed;
}

Step Exchange::send(const QByteArray& request) {
  socket_->write(request);
  while (socket_->bytesToWrite() > 0) {
    if (!timeLeft()) return Step::TimedOut;
    if (!socket_->waitForBytesWritten(sliceMs()) && socket_->state() != QAbstractSocket::ConnectedState)
      return Step::Failed;
  }
  return Step::Ok;
}

Step Exchange::receive(HttpResponseReader& reader) {
  char buffer[4096];
  while (!reader.done() && !reader.failed()) {
    if (socket_->bytesAvailable() > 0) {
      const qint64 n = socket_->read(buffer, sizeof buffer);
      if (n > 0) reader.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
      continue;
    }
    if (!timeLeft()) return Step::TimedOut;
    if (socket_->state() != QAbstractSocket::ConnectedState) {
      reader.endOfStream();
      break;
    }
    socket_->waitForReadyRead(sliceMs());
  }
  return reader.done() ? Step::Ok : Step::Failed;
}

QByteArray requestFor(const QUrl& url) {
  QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
  if (target.isEmpty()) target = "/";
  if (url.hasQuery()) target += "?" + url.query(QUrl::FullyEncoded).toLatin1();
  QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
  if (host.contains(':')) host = "[" + host + "]";
  if (url.port() != -1) host += ":" + QByteArray::number(url.port());
  // A forced reload: nothing on the way may answer from a cache.
  return "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: " + kUserAgent +
         "\r\nAccept-Encoding: identity\r\nCache-Control: no-cache\r\nPragma: no-cache\r\nConnection: close\r\n\r\n";
}

bool fetchable(const QUrl& url) {
  return url.isValid() && !url.host().isEmpty() &&
         (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

Step Exchange::run(const QUrl& url, HttpResponseReader& reader) {
  if (const Step s = connect(url); s != Step::Ok) return s;
  if (const Step s = send(requestFor(url)); s != Step::Ok) return s;
  return receive(reader);
}

bool isRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

}  // namespace

HttpGetResult blockingHttpGet(const std::string& url, Clock::time_point deadline, const std::atomic<bool>& abandoned) {
  HttpGetResult result;
  QUrl current(QString::fromStdString(url));
  for (int redirects = 0;; ++redirects) {
    if (!fetchable(current)) {
      result.error = err::kInternetCannotConnect;
      return result;
    }
    HttpResponseReader reader(kMaxDownloadBytes);
    const Step step = Exchange(deadline, abandoned).run(current, reader);
    if (step != Step::Ok) {
      result.error = step == Step::TimedOut ? err::kInternetTimeout : err::kInternetCannotConnect;
      return result;
    }
    if (isRedirect(reader.status()) && !reader.location().empty()) {
      const QUrl next = current.resolved(QUrl(QString::fromStdString(reader.location())));
      // Never from an encrypted connection to a plain one, and only a few.
      const bool downgrade = current.scheme() == QLatin1String("https") && next.scheme() != QLatin1String("https");
      if (redirects >= kMaxHttpRedirects || downgrade) {
        result.error = err::kInternetCannotConnect;
        return result;
      }
      current = next;
      continue;
    }
    result.body = reader.body();
    result.error = result.body.empty() ? err::kInternetCannotConnect : err::kSuccess;
    return result;
  }
}

}  // namespace lw
