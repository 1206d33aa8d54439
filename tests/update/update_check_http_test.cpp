// The update check end to end: the Qt download against a server on
// 127.0.0.1, the INI reader, temporary files and the prompts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/codes.h"
#include "core/context/settings_keys.h"
#include "core/ports/http_download_port.h"
#include "core/ports/url_opener_port.h"
#include "core/text.h"
#include "loopback_http_server.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/recording_message_boxes.h"
#include "platform/posix/posix_temporary_files.h"
#include "platform/qt/blocking_http_get.h"
#include "platform/qt/qt_http_download.h"
#include "update/ini_reader.h"
#include "update/update_check.h"
#include "update/update_texts.h"
#include "update/version_number.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

class RecordingBrowser final : public UrlOpenerPort {
 public:
  void open(const std::string& url) override { opened.push_back(url); }
  std::vector<std::string> opened;
};

std::string versionFile(const std::string& version, const std::string& url = "") {
  std::string text = "[VORO0Ruza_Tether]\r\nVersion=" + version + "\r\n";
  if (!url.empty()) text += "URL=" + url + "\r\n";
  return text;
}

class UpdateOverHttp : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "update_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }

  void SetUp() override {
    tmp_ = fs::temp_directory_path() / ("lw-update-" + std::to_string(::getpid()));
    fs::remove_all(tmp_);
    fs::create_directories(tmp_);
    const char* old = std::getenv("TMPDIR");
    oldTmpdir_ = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("TMPDIR", tmp_.c_str(), 1);
    ports_.temporaryFiles = &temporaryFiles_;
    ports_.http = &http_;
    ports_.ini = &ini_;
    ports_.browser = &browser_;
    ports_.messages = &boxes_;
    ports_.settings = &settings_;
    ports_.ownVersion = packVersion(1, 4, 0, 0);
  }

  void TearDown() override {
    EXPECT_TRUE(fs::is_empty(tmp_)) << "the temporary version file is removed";
    if (oldTmpdir_) ::setenv("TMPDIR", oldTmpdir_->c_str(), 1);
    else ::unsetenv("TMPDIR");
    fs::remove_all(tmp_);
  }

  uint32_t check(int mode, std::string base = "", UpdateTimeouts timeouts = {2000, 2000}) {
    UpdateCheck updateCheck(ports_, base.empty() ? server_.baseUrl() : base, timeouts);
    updateCheck.run(mode);
    return updateCheck.lastResult();
  }

  static std::string prompt(const char* choices) {
    return std::string("Your version : 1.4.0.0,\nNew version : 1.4.0.1,\nAn update package is available, do you wnat "
                       "to download it?\n\n") +
           choices;
  }

  fs::path tmp_;
  std::optional<std::string> oldTmpdir_;
  test::LoopbackHttpServer server_;
  PosixTemporaryFiles temporaryFiles_{""};
  QtHttpDownload http_;
  IniFileReader ini_;
  RecordingBrowser browser_;
  RecordingMessageBoxes boxes_;
  MemorySettings settings_;
  UpdateCheckPorts ports_;
};

TEST_F(UpdateOverHttp, StartupPromptForANewerRelease) {
  server_.answer(QByteArray::fromStdString(versionFile("1.4.0.1", "http://mirror.test/get")));
  boxes_.answers = {kIdNo, kIdCancel, kIdYes};
  EXPECT_EQ(check(kUpdateStartupMode), 0u);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, prompt("Yes : download now\nNo : stop check when app start up\nCancel : check at next time"));
  EXPECT_EQ(boxes_.shown[0].caption, "Loomwrite_Programmer");
  EXPECT_EQ(boxes_.shown[0].style, mb::kYesNoCancel | mb::kIconWarning);
  EXPECT_EQ(boxes_.shown[0].owner, BoxOwner::None);
  EXPECT_EQ(settings::checkVersion(settings_), 0) << "No: no more checks at start-up";
  EXPECT_TRUE(browser_.opened.empty());

  check(kUpdateStartupMode);
  EXPECT_EQ(settings::checkVersion(settings_), 1) << "Cancel: check next time";
  check(kUpdateStartupMode);
  EXPECT_EQ(settings::checkVersion(settings_), 1);
  EXPECT_EQ(browser_.opened, std::vector<std::string>{"http://mirror.test/get"}) << "Yes: the file's URL";

  const QList<QByteArray> requests = server_.requests();
  ASSERT_EQ(requests.size(), 3);
  const QByteArray& head = requests[0];
  EXPECT_TRUE(head.startsWith("GET /upload/media/8051/Tools/tools_version.ini HTTP/1.1\r\n")) << head.toStdString();
  EXPECT_TRUE(head.contains("\r\nUser-Agent: Loom32Agent\r\n")) << head.toStdString();
  EXPECT_TRUE(head.contains("\r\nAccept-Encoding: identity\r\n")) << head.toStdString();
}

TEST_F(UpdateOverHttp, UpToDateIsSilentAtStartupAndSaidManually) {
  for (const char* published : {"1.4.0.0", "1.3.9.9", "1.4.256.0"}) {
    SCOPED_TRACE(published);
    boxes_.shown.clear();
    server_.answer(QByteArray::fromStdString(versionFile(published)));
    check(kUpdateStartupMode);
    EXPECT_TRUE(boxes_.shown.empty());
    check(kUpdateManualMode);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Your version of Loomwrite_Programmer is up to date.\n\nYour version : 1.4.0.0");
    EXPECT_EQ(boxes_.shown[0].style, mb::kOk | mb::kIconInformation);
  }
  EXPECT_FALSE(settings_.readInt(kSettingsSection, settings::kCheckVersion)) << "nothing written";
}

TEST_F(UpdateOverHttp, AnswersThatAreNoVersionFileAreSilent) {
  const QByteArray answers[] = {
      "[VORO0Ruza_Tether]\r\nURL=http://mirror.test/\r\n",
      "<html><body><h1>404 Not Found</h1></body></html>",
      "",
  };
  for (const QByteArray& body : answers) {
    server_.answer(body, body.startsWith("<html>") ? 404 : 200);
    // The error page is downloaded like any answer; an empty one is not.
    const uint32_t expected = body.isEmpty() ? err::kInternetCannotConnect : 0u;
    EXPECT_EQ(check(kUpdateStartupMode), expected);
    EXPECT_EQ(check(kUpdateManualMode), expected);
  }
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_TRUE(browser_.opened.empty());
}

TEST_F(UpdateOverHttp, ManualYesOpensTheBuiltInPage) {
  server_.answer(QByteArray::fromStdString(versionFile("1.4.0.1", "http://mirror.test/get")));
  settings::setCheckVersion(settings_, 0);
  boxes_.answers = {kIdNo, kIdYes};
  check(kUpdateManualMode);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, prompt("Yes : download now\nNo : skip"));
  EXPECT_EQ(boxes_.shown[0].style, mb::kYesNo | mb::kIconWarning);
  EXPECT_EQ(settings::checkVersion(settings_), 0) << "No changes nothing";
  check(kUpdateManualMode);
  EXPECT_EQ(browser_.opened,
            std::vector<std::string>{server_.baseUrl() + "/zh-tw/support/downloadDocument/274/979"});
  EXPECT_EQ(settings::checkVersion(settings_), 1);
}

TEST_F(UpdateOverHttp, StartupYesOpensOnlyWebPages) {
  for (const char* url : {"", "file:///etc/passwd", "/usr/bin/xterm", "https://mirror.test/get"}) {
    server_.answer(QByteArray::fromStdString(versionFile("1.4.0.1", url)));
    settings::setCheckVersion(settings_, 0);
    boxes_.answers = {kIdYes};
    check(kUpdateStartupMode);
    EXPECT_EQ(settings::checkVersion(settings_), 1) << url;
  }
  EXPECT_EQ(browser_.opened, std::vector<std::string>{"https://mirror.test/get"});
}

TEST_F(UpdateOverHttp, LongAnswersAreReadWholeUpToTheCap) {
  const QByteArray filler = QByteArray("; ") + QByteArray(60, 'x') + "\r\n";
  QByteArray body = "[VORO0Ruza_Tether]\r\n";
  while (body.size() < 10000) body += filler;
  server_.answer(body + "Version=1.4.0.1\r\n");
  boxes_.answers = {kIdCancel};
  check(kUpdateStartupMode);
  EXPECT_EQ(boxes_.shown.size(), 1u) << "the key after 4096 bytes is read";

  while (body.size() < qsizetype(kMaxDownloadBytes) + 1000) body += filler;
  server_.answer(body + "Version=1.4.0.1\r\n");
  check(kUpdateStartupMode);
  EXPECT_EQ(boxes_.shown.size(), 1u) << "nothing past the cap is read";

  std::string direct;
  EXPECT_EQ(http_.download(server_.baseUrl() + "/any", direct, 2000), 0u);
  EXPECT_EQ(direct.size(), kMaxDownloadBytes);
}

// However a server stalls, the check ends silently at its bound, not
// before and not more than 0.5 s after.
TEST_F(UpdateOverHttp, StallingServersEndSilentlyAtTheBound) {
  using B = test::LoopbackHttpServer::Behaviour;
  const struct {
    B behaviour;
    int stepMs;
    const char* what;
  } servers[] = {{B::Silent, 0, "never answers"},
                 {B::DripBody, 100, "drips its body"},
                 {B::SlowHeaderLines, 100, "sends head lines slowly"},
                 {B::EndlessHeaderLine, 50, "sends one endless head line"}};
  for (const auto& server : servers) {
    SCOPED_TRACE(server.what);
    if (server.behaviour == B::Silent) server_.silent();
    else server_.stall(server.behaviour, server.stepMs, 4);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(check(kUpdateManualMode, "", {1000, 1000}), err::kInternetTimeout);
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_LE(clock.elapsed(), 1500);
  }
  // The start-up check's own bound of 5 s.
  server_.stall(B::EndlessHeaderLine, 50, 4);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(check(kUpdateStartupMode, "", UpdateTimeouts{}), err::kInternetTimeout);
  EXPECT_GE(clock.elapsed(), 5000);
  EXPECT_LE(clock.elapsed(), 5500);
  EXPECT_TRUE(boxes_.shown.empty());
}

// Nothing usable comes back: a head line past its limit, a connection
// refused, a chain of redirects; a few redirects are followed.
TEST_F(UpdateOverHttp, FloodsRefusalsAndRedirectLoopsEndAtOnce) {
  server_.stall(test::LoopbackHttpServer::Behaviour::EndlessHeaderLine, 0, 4096);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(check(kUpdateManualMode), err::kInternetCannotConnect);
  EXPECT_LT(clock.elapsed(), 1000);

  const std::string refused = "http://127.0.0.1:" + std::to_string(test::refusingLoopbackPort());
  EXPECT_EQ(check(kUpdateManualMode, refused), err::kInternetCannotConnect);

  const int before = static_cast<int>(server_.requests().size());
  server_.redirect("/elsewhere", 100);
  EXPECT_EQ(check(kUpdateManualMode), err::kInternetCannotConnect);
  EXPECT_EQ(server_.requests().size(), before + 1 + kMaxHttpRedirects);

  server_.redirect(server_.baseUrl() + "/moved.ini", kMaxHttpRedirects);
  server_.answer(QByteArray::fromStdString(versionFile("1.4.0.0")));
  EXPECT_EQ(check(kUpdateManualMode), 0u);
  EXPECT_TRUE(server_.requests().back().startsWith("GET /moved.ini HTTP/1.1\r\n"));
  ASSERT_EQ(boxes_.shown.size(), 1u) << "up to date, after the redirects";
}

// The version file goes into the temporary file through the descriptor
// that created it: a file put in its place by name gets nothing.
TEST_F(UpdateOverHttp, TemporaryFileIsWrittenThroughItsOwnDescriptor) {
  uint32_t error = 0;
  std::unique_ptr<TemporaryFile> file = temporaryFiles_.create("ICP", error);
  ASSERT_TRUE(file) << error;
  const std::string path = file->path();
  EXPECT_EQ(fs::path(path).parent_path(), tmp_);
  EXPECT_TRUE(fs::path(path).filename().string().starts_with("ICP"));
  fs::rename(path, path + ".moved");
  std::ofstream(path) << "planted";
  EXPECT_EQ(file->write("[VORO0Ruza_Tether]\r\n"), 0u);
  file.reset();
  auto content = [](const std::string& p) {
    std::ifstream in(p);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(content(path + ".moved"), "[VORO0Ruza_Tether]\r\n");
  EXPECT_EQ(content(path), "planted");
  fs::remove(path);
  fs::remove(path + ".moved");
}

TEST_F(UpdateOverHttp, NoTemporaryFolderMeansNoCheck) {
  ::setenv("TMPDIR", (tmp_ / "missing").c_str(), 1);
  server_.answer(QByteArray::fromStdString(versionFile("1.4.0.1")));
  EXPECT_NE(check(kUpdateStartupMode), 0u);
  EXPECT_TRUE(server_.requests().isEmpty());
  EXPECT_TRUE(boxes_.shown.empty());
}

}  // namespace
}  // namespace lw
