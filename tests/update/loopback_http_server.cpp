#include "loopback_http_server.h"

#include <QHostAddress>

namespace lw::test {

LoopbackHttpServer::LoopbackHttpServer() {
  server_.listen(QHostAddress(QHostAddress::LocalHost), 0);
  QObject::connect(&server_, &QTcpServer::newConnection, [this] { onConnection(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  for (QTcpSocket* s : sockets_) s->abort();
  server_.close();
}

std::string LoopbackHttpServer::baseUrl() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }

void LoopbackHttpServer::onConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    sockets_.append(socket);
    auto head = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
      if (head->contains("\r\n\r\n")) return;  // one request per connection
      head->append(socket->readAll());
      if (!head->contains("\r\n\r\n")) return;
      requests.append(*head);
      if (behaviour_ == Behaviour::Silent) return;
      QByteArray response = "HTTP/1.1 " + QByteArray::number(status_) + (status_ == 200 ? " OK" : " Not Found") +
                            "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body_.size()) +
                            "\r\nConnection: close\r\n\r\n" + body_;
      socket->write(response);
      socket->disconnectFromHost();
    });
  }
}

quint16 refusingLoopbackPort() {
  QTcpServer probe;
  probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
  const quint16 port = probe.serverPort();
  probe.close();
  return port;
}

}  // namespace lw::test
