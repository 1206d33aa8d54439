// The running window's device-change handling over USB: an adapter plugged
// in while the window runs reaches it as a udev "add" event through the HID
// device watch, and the adapter check asks its firmware over hidraw; pulling
// it out is a "remove" event that puts the loaded file back in the status line.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/ids/main_dialog_ids.h"
#include "platform/hid_link/hid_device_watch.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_main_window.h"
#include "tests/end_to_end/e2e_rig.h"
#include "tests/usb/usb_rig.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"
#include "tests/qt_test_application.h"

namespace lw::usbtest {
namespace {

constexpr char kBlinky[] = LW_SOURCE_DIR "/examples/blinky.hex";

QApplication& application() { return test::testApplication("usb_tests"); }

TEST_F(UsbAdapters, PluggingInWhileTheWindowRunsChecksTheAdapterAndPullingOutRestoresTheStatusLine) {
  application();
  e2e::ScriptedFileDialogs files;
  e2e::FastClock clock;
  e2e::WindowContext program{files, clock};
  ASSERT_TRUE(program.hexViewLoaded()) << "error " << program.loadError;

  QtEventLoop loop;
  LwHidTransport transport;
  HidDeviceWatch watch(loop);
  std::vector<int> prompts;
  OperationViews views;
  views.askLoadArea = [](uint32_t) { return std::optional<LoadArea>(LoadArea{0, false, true}); };
  views.showFirmwarePrompt = [&](int mode, OperationViews::StartUpdate) { prompts.push_back(mode); };
  auto session = std::make_unique<MainWindowSession>(program.ctx, &watch);
  ASSERT_TRUE(session->ready());
  auto operations = std::make_unique<MainWindowHost>(session->logic(), loop, transport, views);
  operations->install();
  session->initialise();
  QtMainWindow& window = session->window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  files.openAnswers.push_back(kBlinky);
  QTest::mouseClick(qobject_cast<QPushButton*>(window.control(mainid::kLoadFile)), Qt::LeftButton);
  auto statusLine = [&] { return qobject_cast<QLabel*>(window.control(mainid::kStatusLine))->text().toStdString(); };
  ASSERT_EQ(statusLine(), kBlinky);
  // The start-up probe (200 ms after start) has looked and found no adapter.
  QTest::qWait(400);

  // Its firmware is older than the library's: the check asks, over hidraw,
  // and offers the update.
  std::vector<std::string> duringPause;
  clock.onSleep = [&](uint32_t) { duringPause.push_back(statusLine()); };
  const std::size_t adapter = plug("1-2.3", std::string(kQuickAdapter) + "firmware_version = 1.4\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.empty(); }, 5000));
  clock.onSleep = nullptr;
  EXPECT_EQ(prompts, std::vector<int>{0});
  EXPECT_EQ(duringPause, std::vector<std::string>{"Detect if Tether is exist..."});
  EXPECT_EQ(statusLine(), kBlinky);

  session->logic().dialog().setText(mainid::kStatusLine, "");
  bus.setConnected(adapter, false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return statusLine() == kBlinky; }, 5000));
  EXPECT_EQ(prompts.size(), 1u) << "a removal checks nothing";

  operations.reset();
  session.reset();
}

}  // namespace
}  // namespace lw::usbtest
