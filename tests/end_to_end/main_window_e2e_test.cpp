// The running program's main window, offscreen, with the real hex-view
// module, the Link library module, the HID device watch and the emulated
// adapter: Load File and Update Target clicked on the window's own buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "platform/hid_link/hid_device_watch.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/hid/hid_api.h"
#include "core/ports/hex_view_port.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_hex_view.h"
#include "platform/qt/qt_main_window.h"
#include "resources/embedded_resources.h"
#include "tests/end_to_end/e2e_rig.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"
#include "ui/main/main_window_host.h"

namespace lw::e2e {
namespace {

constexpr char kBlinky[] = LW_SOURCE_DIR "/examples/blinky.hex";

QApplication& application() {
  static int argc = 1;
  static char name[] = "main_window_e2e_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: tearing Qt down from an exit handler crashes.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The text of a label each time it is painted.
class PaintedTexts final : public QObject {
 public:
  explicit PaintedTexts(QWidget* label) : label_(qobject_cast<QLabel*>(label)) { label_->installEventFilter(this); }
  ~PaintedTexts() override {
    if (label_) label_->removeEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) last = label_->text().toStdString();
    return false;
  }
  std::string last;

 private:
  QPointer<QLabel> label_;
};

// The running program's window context over a fresh emulated adapter; the
// HID layer goes back to USB afterwards.
class RunningProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    dir.write("adapter.ini", "reenumerate_ms = 50\n");
    ASSERT_EQ(lw_hid_select_backend(("emulator:" + dir.path().string()).c_str()), 0u);
    ASSERT_TRUE(program.hexViewLoaded()) << "error " << program.loadError;
  }
  void TearDown() override { lw_hid_select_backend("usb"); }

  TempDir dir;
  ScriptedFileDialogs files;
  FastClock clock;
  WindowContext program{files, clock};
  AppContext& ctx = program.ctx;
  RecordingMessageBoxes& messages = program.messages;
};

TEST_F(RunningProgram, LoadFileAndUpdateTargetOnTheWindowsButtons) {

  QtEventLoop loop;
  LwHidTransport transport;
  HidDeviceWatch watch(loop);
  int prompts = 0;
  std::vector<uint32_t> areaProposals;
  OperationViews views;
  views.askLoadArea = [&](uint32_t proposed) {
    areaProposals.push_back(proposed);
    return std::optional<LoadArea>(LoadArea{0, false, true});
  };
  views.showFirmwarePrompt = [&](int, OperationViews::StartUpdate) { ++prompts; };

  auto session = std::make_unique<MainWindowSession>(ctx, &watch);
  ASSERT_TRUE(session->ready());
  auto operations = std::make_unique<MainWindowHost>(session->logic(), loop, transport, views);
  operations->install();
  session->initialise();
  QtMainWindow& window = session->window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  // The start-up probe finds the adapter and checks it (with its pause).
  EXPECT_TRUE(QTest::qWaitFor([&] { return clock.sleptMs() >= 500; }, 3000));

  auto* loadButton = qobject_cast<QPushButton*>(window.control(mainid::kLoadFile));
  auto* updateButton = qobject_cast<QPushButton*>(window.control(mainid::kUpdateTarget));
  auto* swdp = qobject_cast<QCheckBox*>(window.control(mainid::kFirstOptionBox));
  ASSERT_TRUE(loadButton && updateButton && swdp);

  files.openAnswers.push_back(kBlinky);
  QTest::mouseClick(loadButton, Qt::LeftButton);
  EXPECT_EQ(areaProposals, std::vector<uint32_t>{0xEC00});
  EXPECT_EQ(session->logic().dialog().text(mainid::kStatusLine), kBlinky);
  EXPECT_EQ(session->hexView().send(hexmsg::kData, 0, 0), 0x17C);

  QTest::mouseClick(swdp, Qt::LeftButton);
  EXPECT_TRUE(swdp->isChecked());
  // The adapter check's text is on the screen during its pause: the status
  // field was painted with it before the thread went to sleep.
  PaintedTexts painted(window.control(mainid::kStatusLine));
  std::vector<std::string> onScreenDuringPauses;
  clock.onSleep = [&](uint32_t) { onScreenDuringPauses.push_back(painted.last); };
  QTest::mouseClick(updateButton, Qt::LeftButton);
  clock.onSleep = nullptr;
  EXPECT_EQ(onScreenDuringPauses, std::vector<std::string>{"Detect if Tether is exist..."});

  std::vector<std::string> texts;
  for (const ShownBox& b : messages.shown) texts.push_back(b.text);
  EXPECT_EQ(texts, std::vector<std::string>{"Update Target ok !"});
  EXPECT_EQ(prompts, 0);
  const std::vector<uint8_t> flash = dir.readBytes("target-flash.bin");
  ASSERT_EQ(flash.size(), 0x10000u);
  EXPECT_EQ(std::vector<uint8_t>(flash.begin(), flash.begin() + 4), (std::vector<uint8_t>{0x00, 0x20, 0x00, 0x20}));
  EXPECT_EQ(flash[0x17C], 0xFF);
  EXPECT_EQ(dir.read("target-options.txt").substr(0, 2), "FE");

  QTest::qWait(50);
  EXPECT_TRUE(window.grab().save(LW_BINARY_DIR "/end_to_end_main_window.png"));

  operations.reset();
  session.reset();
}

// Closing the main window while Update Target sends the code: the write
// ends at the next report with failure, the run winds down, the window
// ends with Cancel and nothing blocks, so the program can exit.
TEST_F(RunningProgram, ClosingTheWindowDuringABlockWriteEndsTheWrite) {

  QtEventLoop loop;
  LwHidTransport transport;
  OperationViews views;
  views.showFirmwarePrompt = [&](int, OperationViews::StartUpdate) {};
  auto session = std::make_unique<MainWindowSession>(ctx);
  ASSERT_TRUE(session->ready());
  auto operations = std::make_unique<MainWindowHost>(session->logic(), loop, transport, views);
  operations->install();
  QtMainWindow& window = session->window();
  loop.quitWhenFinished(window);
  session->initialise();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  // 64 KiB of code: 512 reports, so the close comes long before the end.
  std::vector<uint8_t> code(0x10000, 0x5A);
  session->hexView().send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(code.data()),
                          static_cast<intptr_t>(code.size()));
  bool closed = false;
  QTimer::singleShot(0, &window, [&] {
    window.grab().save(QStringLiteral(LW_BINARY_DIR "/main_window_mid_write.png"));
    window.close();
    closed = true;
  });
  QTest::mouseClick(qobject_cast<QPushButton*>(window.control(mainid::kUpdateTarget)), Qt::LeftButton);

  EXPECT_TRUE(closed);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), 2);
  std::vector<std::string> texts;
  for (const ShownBox& b : messages.shown) texts.push_back(b.text);
  EXPECT_EQ(texts, std::vector<std::string>{"Update Target failed !"});
  const std::vector<uint8_t> flash = dir.readBytes("target-flash.bin");
  ASSERT_EQ(flash.size(), 0x10000u);
  EXPECT_NE(flash, code) << "the write went on after the close";
  EXPECT_FALSE(loop.dispatchPending()) << "the loop stays in its quitting state";

  operations.reset();
  session.reset();
}

}  // namespace
}  // namespace lw::e2e
