// loomwrite-cli check-update against a server on 127.0.0.1 that serves from
// threads of its own while the tool runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "loopback_http_server.h"
#include "tests/cli/cli_run.h"

namespace lw {
namespace {

// The server answering every request with one body.
class ServerThread {
 public:
  explicit ServerThread(const QByteArray& body) { server_.answer(body); }
  std::string baseUrl() const { return server_.baseUrl(); }
  test::LoopbackHttpServer& server() { return server_; }

 private:
  test::LoopbackHttpServer server_;
};

class CheckUpdateCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "update_cli_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }
  test::ScratchDir dir_;
};

TEST_F(CheckUpdateCli, ReportsBothVersions) {
  ServerThread server("[VORO0Ruza_Tether]\r\nVersion=1.4.0.1\r\nURL=http://mirror.test/get\r\n");
  const test::CliRun json = test::runCli(dir_, {"check-update", "--url", server.baseUrl(), "--json"});
  ASSERT_EQ(json.exit, 0) << json.err;
  const QJsonObject o = json.json();
  EXPECT_EQ(o["own_version"].toString(), "1.4.0.0");
  EXPECT_EQ(o["published_version"].toString(), "1.4.0.1");
  EXPECT_TRUE(o["update_available"].toBool());
  EXPECT_EQ(o["download_url"].toString().toStdString(), server.baseUrl() + "/zh-tw/support/downloadDocument/274/979");
  EXPECT_EQ(o["announced_url"].toString(), "http://mirror.test/get");

  const test::CliRun text =
      test::runCli(dir_, {"check-update"}, {{"LOOMWRITE_UPDATE_URL", server.baseUrl() + "/"}});
  ASSERT_EQ(text.exit, 0) << text.err;
  EXPECT_NE(text.out.find("Own version:       1.4.0.0\nPublished version: 1.4.0.1\n"), std::string::npos) << text.out;

  // A user name and password in the URL are used, never shown.
  const std::string withSecret = "http://user:s3cret@" + server.baseUrl().substr(std::string("http://").size());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"check-update", "--url", withSecret},
        std::vector<std::string>{"check-update", "--url", withSecret, "--json"},
        std::vector<std::string>{"check-update", "--url", withSecret + ":bad port"}}) {
    const test::CliRun masked = test::runCli(dir_, args);
    EXPECT_EQ((masked.out + masked.err).find("s3cret"), std::string::npos) << masked.out << masked.err;
    EXPECT_NE((masked.out + masked.err).find("http://***@"), std::string::npos) << masked.out << masked.err;
  }
}

TEST_F(CheckUpdateCli, FailuresAndUsage) {
  {
    ServerThread server("<html>404</html>");
    const test::CliRun r = test::runCli(dir_, {"check-update", "--url", server.baseUrl(), "--json"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_FALSE(r.json()["ok"].toBool());
    EXPECT_NE(r.err.find("holds no \"Version\""), std::string::npos) << r.err;
  }
  const test::CliRun refused = test::runCli(
      dir_, {"check-update", "--url", "http://127.0.0.1:" + std::to_string(test::refusingLoopbackPort())});
  EXPECT_EQ(refused.exit, 1);
  EXPECT_NE(refused.err.find("could not be fetched"), std::string::npos) << refused.err;
  EXPECT_EQ(test::runCli(dir_, {"check-update", "--url", "file:///etc"}).exit, 2);

  // A server that sends one head line without end: the manual check's
  // bound of 15 s ends the tool within 15.5 s.
  ServerThread endless("");
  endless.server().stall(test::LoopbackHttpServer::Behaviour::EndlessHeaderLine, 50, 4);
  QElapsedTimer clock;
  clock.start();
  const test::CliRun stalled = test::runCli(dir_, {"check-update", "--url", endless.baseUrl()});
  EXPECT_LE(clock.elapsed(), 15500);
  EXPECT_GE(clock.elapsed(), 15000);
  EXPECT_EQ(stalled.exit, 1);
  EXPECT_NE(stalled.err.find("timed out after 15 s"), std::string::npos) << stalled.err;
  EXPECT_EQ(test::runCli(dir_, {"parts", "--url", "http://127.0.0.1:1"}).exit, 2);
}

}  // namespace
}  // namespace lw
