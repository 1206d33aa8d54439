// The manual check as the window shows it: Qt message boxes over a server on
// 127.0.0.1, answered by clicking their buttons. Pictures of the boxes go to
// the build folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/codes.h"
#include "core/context/settings_keys.h"
#include "core/ports/url_opener_port.h"
#include "loopback_http_server.h"
#include "platform/memory/memory_settings.h"
#include "platform/posix/posix_temporary_files.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_http_download.h"
#include "platform/qt/qt_message_boxes.h"
#include "update/ini_reader.h"
#include "update/update_check.h"
#include "update/version_number.h"
#include "tests/qt_test_application.h"

namespace lw {
namespace {

class RecordingBrowser final : public UrlOpenerPort {
 public:
  void open(const std::string& url) override { opened.push_back(url); }
  std::vector<std::string> opened;
};

// Once the box is up: its picture, its buttons' texts, then a click on the
// button with the text given. Gives up (and fails) after a few seconds.
void answerBoxWith(const QString& button, const QString& picture, QStringList& buttons) {
  auto* poll = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [=, &buttons] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      if (++*tries > 300) poll->deleteLater();
      return;
    }
    poll->stop();
    poll->deleteLater();
    box->grab().save(QStringLiteral(LW_BINARY_DIR "/") + picture);
    for (QAbstractButton* b : box->buttons()) buttons << b->text().remove('&');
    buttons.sort();  // the order is the style's
    for (QAbstractButton* b : box->buttons()) {
      if (b->text().remove('&') == button) b->click();
    }
  });
  poll->start(10);
}

QApplication& application() { return test::testApplication("update_view_tests"); }

// Counts a widget's paint events while a flag is up.
class PaintsWhile final : public QObject {
 public:
  PaintsWhile(QWidget* widget, const bool& flag) : flag_(flag) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && flag_) ++count;
    return false;
  }
  int count = 0;

 private:
  const bool& flag_;
};

// The manual check's download blocks the window as a modal step does: it
// repaints, but no timer fires and no call posted to it (a device arrival)
// runs until the download is over.
TEST(UpdateBoxesQt, DownloadWaitPaintsTheWindowAndRunsNothingElse) {
  application();
  QLabel window("Loomwrite");
  window.resize(300, 100);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  test::LoopbackHttpServer server;
  server.stall(test::LoopbackHttpServer::Behaviour::DripBody, 50);

  bool downloading = false;
  PaintsWhile paints(&window, downloading);
  bool timerFired = false;
  QTimer::singleShot(10, [&] { timerFired = true; });
  QtEventLoop loop;
  bool postedRan = false;
  loop.post([&] { postedRan = true; });
  window.setText("Checking for an update");  // asks for a repaint

  QtHttpDownload http;
  std::string body;
  downloading = true;
  EXPECT_EQ(http.download(server.baseUrl() + "/tools_version.ini", body, 600), err::kInternetTimeout);
  downloading = false;
  EXPECT_GT(paints.count, 0);
  EXPECT_FALSE(timerFired);
  EXPECT_FALSE(postedRan);
  EXPECT_TRUE(QTest::qWaitFor([&] { return timerFired && postedRan; }, 1000)) << "both run after the wait";
}

TEST(UpdateBoxesQt, ManualCheckAsksThenOpensTheDownloadPage) {
  application();

  test::LoopbackHttpServer server;
  PosixTemporaryFiles temporaryFiles("");
  QtHttpDownload http;
  IniFileReader ini;
  RecordingBrowser browser;
  QtMessageBoxes boxes;
  MemorySettings settings;
  UpdateCheckPorts ports{&temporaryFiles, &http, &ini, &browser, &boxes, &settings, packVersion(1, 4, 0, 0)};
  UpdateCheck check(ports, server.baseUrl());

  server.answer("[VORO0Ruza_Tether]\nVersion=1.4.0.1\n");
  QStringList buttons;
  answerBoxWith("Yes", "update-prompt-manual.png", buttons);
  check.run(kUpdateManualMode);
  EXPECT_EQ(buttons, (QStringList{"No", "Yes"}));
  EXPECT_EQ(browser.opened, std::vector<std::string>{server.baseUrl() + "/zh-tw/support/downloadDocument/274/979"});
  EXPECT_EQ(settings::checkVersion(settings), 1);

  server.answer("[VORO0Ruza_Tether]\nVersion=1.4.0.0\n");
  buttons.clear();
  answerBoxWith("OK", "update-up-to-date.png", buttons);
  check.run(kUpdateManualMode);
  EXPECT_EQ(buttons, QStringList{"OK"});

  server.answer("[VORO0Ruza_Tether]\nVersion=1.4.0.1\n");
  buttons.clear();
  answerBoxWith("Cancel", "update-prompt-startup.png", buttons);
  check.run(kUpdateStartupMode);
  EXPECT_EQ(buttons, (QStringList{"Cancel", "No", "Yes"}));
  EXPECT_EQ(browser.opened.size(), 1u);
}

}  // namespace
}  // namespace lw
