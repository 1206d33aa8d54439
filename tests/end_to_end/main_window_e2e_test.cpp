// The running program's main window, offscreen, with the real hex-view
// module, the Link library module, the HID device watch and the emulated
// adapter: Load File and Update Target clicked on the window's own buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <set>

#include "platform/hid_link/hid_device_watch.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/hid/hid_api.h"
#include "core/ports/hex_view_port.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_hex_view.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/status_field.h"
#include "resources/embedded_resources.h"
#include "tests/end_to_end/e2e_rig.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"
#include "ui/main/main_window_host.h"
#include "tests/qt_test_application.h"

namespace lw::e2e {
namespace {

constexpr char kBlinky[] = LW_SOURCE_DIR "/examples/blinky.hex";

QApplication& application() { return test::testApplication("main_window_e2e_test"); }

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

// While Update Target writes and verifies, the user clicks everything that
// would start a dialog or change the job, again and again: Load File,
// Save *.KPJ, Update Programmer, Exit, an option box, the hex view, the
// menu button and the banner's right-click menu. Nothing opens, nothing
// changes, the status line shows the read-back, and the run passes against
// an adapter with full-speed USB timing.
TEST_F(RunningProgram, ClicksDuringUpdateTargetChangeNothingAndTheRunPasses) {
  dir.write("adapter.ini", "reenumerate_ms = 50\ntiming = full-speed\n");
  QtEventLoop loop;
  LwHidTransport transport;
  int dialogsOpened = 0;
  OperationViews views;
  views.askLoadArea = [&](uint32_t) {
    ++dialogsOpened;
    return std::optional<LoadArea>();
  };
  views.editOfflineSettings = [&](OfflineSettings&, uint32_t) {
    ++dialogsOpened;
    return false;
  };
  views.showFirmwarePrompt = [&](int, OperationViews::StartUpdate) { ++dialogsOpened; };
  auto session = std::make_unique<MainWindowSession>(ctx);
  ASSERT_TRUE(session->ready());
  auto operations = std::make_unique<MainWindowHost>(session->logic(), loop, transport, views);
  operations->install();
  session->logic().hooks.showAbout = [&] { ++dialogsOpened; };
  QtMainWindow& window = session->window();
  loop.quitWhenFinished(window);
  session->initialise();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(QTest::qWaitFor([&] { return clock.sleptMs() >= 500; }, 3000)) << "the start-up probe is over";

  const std::vector<uint8_t> code = patternBytes(16 * 1024, 0x21);
  session->hexView().send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(code.data()), static_cast<intptr_t>(code.size()));
  auto* status = qobject_cast<StatusField*>(window.control(mainid::kStatusLine));
  auto* swdp = qobject_cast<QCheckBox*>(window.control(mainid::kFirstOptionBox));
  ASSERT_TRUE(status && swdp);
  const int job[] = {mainid::kLoadFile, mainid::kSaveKpj, mainid::kUpdateProgrammer, mainid::kExit,
                     mainid::kFirstOptionBox, mainid::kHexView, mainid::kWindowMenu, mainid::kUpdateTarget};
  std::set<std::string> barTexts;
  int clickRounds = 0;
  bool allLocked = true;
  bool menuOpened = false;
  // A menu that opened anyway is closed again, so the test fails instead of
  // waiting for it.
  QTimer menuCloser;
  QObject::connect(&menuCloser, &QTimer::timeout, [&] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      menuOpened = true;
      popup->close();
    }
  });
  menuCloser.start(20);
  QTimer clicker;
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    // Once something got through, more clicks would only pile dialogs up.
    if (menuOpened || dialogsOpened > 0 || !window.isVisible()) return clicker.stop();
    if (status->progress() && status->progress()->bar) barTexts.insert(status->progress()->text.substr(0, 9));
    for (const int id : job) {
      allLocked = allLocked && !window.control(id)->isEnabled();
      QTest::mouseClick(window.control(id), Qt::LeftButton);
    }
    QContextMenuEvent banner(QContextMenuEvent::Mouse, QPoint(5, 5), window.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(window.childAt(QPoint(5, 5)), &banner);
    ++clickRounds;
  });
  clicker.start(5);
  QTest::mouseClick(window.control(mainid::kUpdateTarget), Qt::LeftButton);
  clicker.stop();
  menuCloser.stop();
  window.grab().save(QStringLiteral(LW_BINARY_DIR "/main_window_after_clicks.png"));

  std::vector<std::string> texts;
  for (const ShownBox& b : messages.shown) texts.push_back(b.text);
  EXPECT_EQ(texts, std::vector<std::string>{"Update Target ok !"});
  const std::vector<uint8_t> flash = dir.readBytes("target-flash.bin");
  ASSERT_GE(flash.size(), code.size());
  EXPECT_TRUE(std::equal(code.begin(), code.end(), flash.begin()));
  EXPECT_GE(clickRounds, 20);
  EXPECT_TRUE(allLocked);
  EXPECT_EQ(barTexts, (std::set<std::string>{"Completed", "Verifying"})) << "the write and then its read-back";
  EXPECT_EQ(dialogsOpened, 0);
  EXPECT_TRUE(files.openStartPaths.empty());
  EXPECT_EQ(files.saveCalls, 0);
  EXPECT_FALSE(menuOpened);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(swdp->isChecked());
  EXPECT_EQ(ctx.state.part.optionBytes[0], 0xFF);
  EXPECT_EQ(session->hexView().send(hexmsg::kData, 0, 0), static_cast<intptr_t>(code.size()));
  for (const int id : {mainid::kLoadFile, mainid::kSaveKpj, mainid::kExit, mainid::kWindowMenu, mainid::kHexView})
    EXPECT_TRUE(window.control(id)->isEnabled()) << id << " is back after the run";

  operations.reset();
  session.reset();
}

// The window menu's target operations on the running window: Verify Target
// passes and then names a byte changed in the target, Read Target shows the
// target's bytes in the hex view, Erase Target and Blank Check follow.
TEST_F(RunningProgram, TheWindowMenusTargetOperations) {
  QtEventLoop loop;
  LwHidTransport transport;
  OperationViews views;
  views.showFirmwarePrompt = [&](int, OperationViews::StartUpdate) {};
  auto session = std::make_unique<MainWindowSession>(ctx);
  ASSERT_TRUE(session->ready());
  auto operations = std::make_unique<MainWindowHost>(session->logic(), loop, transport, views);
  operations->install();
  QtMainWindow& window = session->window();
  session->initialise();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(QTest::qWaitFor([&] { return clock.sleptMs() >= 500; }, 3000)) << "the start-up probe is over";

  auto choose = [&](const char* entry) {
    messages.shown.clear();
    for (QAction* a : window.windowMenu()->actions())
      if (a->text() == QString::fromUtf8(entry)) a->trigger();
    std::vector<std::string> texts;
    for (const ShownBox& b : messages.shown) texts.push_back(b.text);
    return texts;
  };
  const std::vector<uint8_t> code = patternBytes(0x400, 0x33);
  session->hexView().send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(code.data()), static_cast<intptr_t>(code.size()));
  QTest::mouseClick(window.control(mainid::kUpdateTarget), Qt::LeftButton);
  EXPECT_EQ(choose("Verify Target"), std::vector<std::string>{"Verify Target ok !"});

  std::vector<uint8_t> flash = dir.readBytes("target-flash.bin");
  flash[0x10] = static_cast<uint8_t>(~flash[0x10]);
  dir.write("target-flash.bin", std::string(flash.begin(), flash.end()));
  const std::vector<std::string> differs = choose("Verify Target");
  ASSERT_EQ(differs.size(), 1u);
  EXPECT_NE(differs[0].find("Bytes that differ: 1\nOffset: Code buffer / Target\n0x00000010: "), std::string::npos)
      << differs[0];

  EXPECT_EQ(choose("Read Target"), std::vector<std::string>{"Read Target ok !"});
  HexViewPort& view = session->hexView();
  ASSERT_EQ(view.send(hexmsg::kData, 0, 0), 0x10000);
  std::vector<uint8_t> shown(0x10001);
  view.send(hexmsg::kData, reinterpret_cast<uintptr_t>(shown.data()), 0x10000);
  shown.resize(0x10000);
  EXPECT_EQ(shown, flash);
  EXPECT_EQ(session->logic().dialog().text(mainid::kStatusLine), "Read from target \"Larch-F8U6\"");
  EXPECT_EQ(session->logic().dialog().text(mainid::kSizeField), "Size = 65536 Bytes");
  QTest::qWait(50);
  EXPECT_TRUE(window.grab().save(LW_BINARY_DIR "/main_window_read_target.png"));

  EXPECT_EQ(choose("Erase Target"), std::vector<std::string>{"Erase Target ok !"});
  EXPECT_EQ(choose("Blank Check"), std::vector<std::string>{"Target is blank !"});

  operations.reset();
  session.reset();
}

}  // namespace
}  // namespace lw::e2e
