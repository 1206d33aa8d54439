#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace lw::test {

namespace {

int listenOnLoopback(uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 16) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(address.sin_port);
  return fd;
}

std::string reason(int status) { return status == 200 ? "OK" : status == 302 ? "Found" : "Not Found"; }

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  listener_ = listenOnLoopback(port_);
  if (listener_ >= 0) acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  for (std::thread& t : connections_) t.join();
  if (listener_ >= 0) ::close(listener_);
}

void LoopbackHttpServer::set(Behaviour behaviour, const QByteArray& body, int status) {
  std::lock_guard lock(mutex_);
  script_ = Script{behaviour, body, status, 0, 1};
}

void LoopbackHttpServer::stall(Behaviour behaviour, int stepMs, int stepBytes) {
  std::lock_guard lock(mutex_);
  script_ = Script{behaviour, {}, 200, stepMs, stepBytes};
}

void LoopbackHttpServer::redirect(const std::string& location, int times) {
  std::lock_guard lock(mutex_);
  redirectLocation_ = location;
  redirects_ = times;
}

std::string LoopbackHttpServer::baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

QList<QByteArray> LoopbackHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool LoopbackHttpServer::pause(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stopping_ && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return !stopping_;
}

bool LoopbackHttpServer::sendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size() && !stopping_) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return sent == bytes.size();
}

void LoopbackHttpServer::acceptLoop() {
  while (!stopping_) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd] {
      serve(fd);
      ::close(fd);
    });
  }
}

void LoopbackHttpServer::serve(int fd) {
  // One request per connection: its head, up to the empty line.
  std::string head;
  while (!stopping_ && head.find("\r\n\r\n") == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  Script script;
  std::string location;
  {
    std::lock_guard lock(mutex_);
    requests_.append(QByteArray::fromStdString(head));
    script = script_;
    if (redirects_ > 0) {
      --redirects_;
      location = redirectLocation_;
    }
  }
  if (!location.empty()) {
    sendAll(fd, "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    return;
  }
  const std::string step(static_cast<std::size_t>(script.stepBytes), 'x');
  switch (script.behaviour) {
    case Behaviour::Answer: {
      const std::string body = script.body.toStdString();
      sendAll(fd, "HTTP/1.1 " + std::to_string(script.status) + " " + reason(script.status) +
                      "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
      return;
    }
    case Behaviour::Silent:
      while (pause(20)) {
      }
      return;
    case Behaviour::DripBody:
      if (!sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n")) return;
      while (pause(script.stepMs) && sendAll(fd, step)) {
      }
      return;
    case Behaviour::SlowHeaderLines:
      if (!sendAll(fd, "HTTP/1.1 200 OK\r\n")) return;
      for (int i = 0; pause(script.stepMs) && sendAll(fd, "X-Slow-" + std::to_string(i) + ": " + step + "\r\n"); ++i) {
      }
      return;
    case Behaviour::EndlessHeaderLine:
      if (!sendAll(fd, "HTTP/1.1 200 OK\r\nX-Endless: ")) return;
      while (pause(script.stepMs) && sendAll(fd, step)) {
      }
      return;
  }
}

uint16_t refusingLoopbackPort() {
  uint16_t port = 0;
  const int fd = listenOnLoopback(port);
  if (fd >= 0) ::close(fd);
  return port;
}

}  // namespace lw::test
