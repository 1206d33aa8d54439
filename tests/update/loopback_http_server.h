#pragma once
// A one-file HTTP server on 127.0.0.1 for the update tests. It serves from
// threads of its own, so it answers while the download under test blocks
// the test's thread. Each connection gets the scripted behaviour: an
// answer, silence, or one of the ways a server can stall a client (a body
// that drips, head lines that come slowly, one head line that never ends),
// or redirects before the answer.
#include <QByteArray>
#include <QList>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lw::test {

class LoopbackHttpServer {
 public:
  enum class Behaviour { Answer, Silent, DripBody, SlowHeaderLines, EndlessHeaderLine };

  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  void answer(const QByteArray& body, int status = 200) { set(Behaviour::Answer, body, status); }
  // Accepts, reads the request and never answers.
  void silent() { set(Behaviour::Silent, {}, 200); }
  // Stalling servers: every step waits stepMs, then sends stepBytes more of
  // the body, one more head line, or more of one endless head line.
  void stall(Behaviour behaviour, int stepMs, int stepBytes = 1);
  // The next `times` requests are redirected to location (302).
  void redirect(const std::string& location, int times);

  // "http://127.0.0.1:PORT"
  std::string baseUrl() const;
  uint16_t port() const { return port_; }

  // The request heads received so far.
  QList<QByteArray> requests() const;

 private:
  struct Script {
    Behaviour behaviour = Behaviour::Answer;
    QByteArray body;
    int status = 200;
    int stepMs = 0;
    int stepBytes = 1;
  };
  void set(Behaviour behaviour, const QByteArray& body, int status);
  void acceptLoop();
  void serve(int fd);
  // Sends all the bytes unless the server is stopping or the peer left.
  bool sendAll(int fd, const std::string& bytes);
  // Waits ms, in slices that notice the server stopping.
  bool pause(int ms);

  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  Script script_;
  std::string redirectLocation_;
  int redirects_ = 0;
  QList<QByteArray> requests_;
  std::vector<std::thread> connections_;
};

// A port on 127.0.0.1 where nothing listens (found by listening once).
uint16_t refusingLoopbackPort();

}  // namespace lw::test
