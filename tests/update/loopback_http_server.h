#pragma once
// A one-file HTTP server on 127.0.0.1 for the update tests, served by the
// event loop the download itself runs. Each connection gets the scripted
// answer; a silent server accepts and never answers.
#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <string>

namespace lw::test {

class LoopbackHttpServer {
 public:
  enum class Behaviour { Answer, Silent };

  LoopbackHttpServer();
  ~LoopbackHttpServer();

  void answer(const QByteArray& body, int status = 200) {
    behaviour_ = Behaviour::Answer;
    body_ = body;
    status_ = status;
  }
  void silent() { behaviour_ = Behaviour::Silent; }

  // "http://127.0.0.1:PORT"
  std::string baseUrl() const;
  quint16 port() const { return server_.serverPort(); }

  QList<QByteArray> requests;  // the request heads received

 private:
  void onConnection();

  QTcpServer server_;
  QList<QTcpSocket*> sockets_;
  Behaviour behaviour_ = Behaviour::Answer;
  QByteArray body_;
  int status_ = 200;
};

// A port on 127.0.0.1 where nothing listens (found by listening once).
quint16 refusingLoopbackPort();

}  // namespace lw::test
