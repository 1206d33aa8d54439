// The hex-view module through its C interface, resolved by name from the
// loaded module, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>
#include <memory>
#include <vector>

#include "hexedit/hexedit_api.h"
#include "core/ports/hex_view_port.h"
#include "platform/posix/posix_modules.h"
#include "tests/qt_test_application.h"

namespace lw {
namespace {

QApplication& application() { return test::testApplication("hexedit_module_tests"); }

struct Notifications {
  std::vector<std::pair<int, int>> received;
  static void record(void* context, int id, int code) {
    static_cast<Notifications*>(context)->received.emplace_back(id, code);
  }
};

class HexModule : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    uint32_t error = 0;
    module = modules.load(std::string(LW_BIN_DIR) + "/libHexEdit.so", error);
    ASSERT_NE(module, nullptr) << error;
    has = reinterpret_cast<HexEdit_HasWindowClassFn>(modules.symbol(module, "HexEdit_HasWindowClass"));
    create = reinterpret_cast<HexEdit_CreateWindowFn>(modules.symbol(module, "HexEdit_CreateWindow"));
    send = reinterpret_cast<HexEdit_SendMessageFn>(modules.symbol(module, "HexEdit_SendMessage"));
    destroy = reinterpret_cast<HexEdit_DestroyWindowFn>(modules.symbol(module, "HexEdit_DestroyWindow"));
    ASSERT_TRUE(has && create && send && destroy);
    parentWidget = std::make_unique<QWidget>();
    QWidget& parent = *parentWidget;
    parent.resize(640, 260);
    window = create(HEXEDIT_CLASS_NAME, &parent, 1022, &Notifications::record, &notes);
    ASSERT_NE(window, nullptr);
    view = static_cast<QWidget*>(window);
    view->setGeometry(0, 0, 640, 260);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  }
  void TearDown() override {
    if (window) destroy(window);
    parentWidget.reset();
    // Keep the module loaded: Qt may still hold metadata from it until exit.
  }

  intptr_t msg(unsigned m, uintptr_t w = 0, intptr_t l = 0) { return send(window, m, w, l); }

  PosixModules modules;
  ModuleHandle module = nullptr;
  HexEdit_HasWindowClassFn has = nullptr;
  HexEdit_CreateWindowFn create = nullptr;
  HexEdit_SendMessageFn send = nullptr;
  HexEdit_DestroyWindowFn destroy = nullptr;
  std::unique_ptr<QWidget> parentWidget;
  Notifications notes;
  HexEdit_Window window = nullptr;
  QWidget* view = nullptr;
};

TEST_F(HexModule, ClassAndCreation) {
  EXPECT_TRUE(has("HEXEDIT10"));
  EXPECT_FALSE(has("EDIT"));
  EXPECT_FALSE(has(nullptr));
  EXPECT_EQ(create("EDIT", parentWidget.get(), 1, nullptr, nullptr), nullptr);
  EXPECT_EQ(create(HEXEDIT_CLASS_NAME, nullptr, 1, nullptr, nullptr), nullptr);
  EXPECT_EQ(view->parentWidget(), parentWidget.get());
}

TEST_F(HexModule, KeyboardEditsNotifyAndChangeContent) {
  const std::vector<uint8_t> bytes = {0x00, 0x11, 0x22};
  msg(hexmsg::kReplace, reinterpret_cast<uintptr_t>(bytes.data()), 3);
  notes.received.clear();
  view->setFocus();
  QTest::keyClicks(view, "F");
  ASSERT_EQ(notes.received.size(), 1u);
  EXPECT_EQ(notes.received[0], std::make_pair(1022, 0x300));
  QTest::keyClick(view, Qt::Key_Right);
  QTest::keyClick(view, Qt::Key_Right);
  QTest::keyClicks(view, "e");
  EXPECT_EQ(notes.received.size(), 2u);
  std::vector<uint8_t> out(4, 0);
  msg(hexmsg::kData, reinterpret_cast<uintptr_t>(out.data()), 3);
  EXPECT_EQ(out, (std::vector<uint8_t>{0xF0, 0x1E, 0x22, 0x00}));
  EXPECT_EQ(msg(hexmsg::kChecksum), 0xF0 + 0x1E + 0x22);

  // Undo, then redo with either Ctrl+Shift+Z or Ctrl+Y.
  for (const Qt::KeyboardModifiers redo : {Qt::ControlModifier | Qt::ShiftModifier, Qt::KeyboardModifiers(Qt::ControlModifier)}) {
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(msg(hexmsg::kChecksum), 0xF0 + 0x11 + 0x22);
    QTest::keyClick(view, redo == Qt::ControlModifier ? Qt::Key_Y : Qt::Key_Z, redo);
    EXPECT_EQ(msg(hexmsg::kChecksum), 0xF0 + 0x1E + 0x22) << redo;
  }

  // Selection by keyboard and copy to the clipboard.
  QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("F0 1E"));

  // The flash size bounds growing; clearing empties the view silently.
  msg(hexmsg::kFlashSize, 4);
  QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(view, "12345");
  EXPECT_EQ(msg(hexmsg::kData), 4);
  const std::size_t before = notes.received.size();
  msg(hexmsg::kCommand, hexmsg::kClear);
  EXPECT_EQ(msg(hexmsg::kData), 0);
  EXPECT_EQ(notes.received.size(), before);
}

TEST_F(HexModule, LargeContentPaintsOnlyVisibleRows) {
  std::vector<uint8_t> big(256 * 1024);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i);
  msg(hexmsg::kFlashSize, big.size());
  msg(hexmsg::kReplace, reinterpret_cast<uintptr_t>(big.data()), static_cast<intptr_t>(big.size()));
  EXPECT_EQ(msg(hexmsg::kData), static_cast<intptr_t>(big.size()));

  view->setFocus();
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < 20; ++i) {
    QTest::keyClick(view, Qt::Key_PageDown);
    (void)view->grab();
  }
  QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
  (void)view->grab();
  // Drawing all 16384 rows would take seconds per picture.
  EXPECT_LT(timer.elapsed(), 3000);

  notes.received.clear();
  QTest::keyClicks(view, "00");  // the last byte, 0xFF -> 0x00
  EXPECT_EQ(notes.received.size(), 2u);
  std::vector<uint8_t> out(big.size() + 1);
  msg(hexmsg::kData, reinterpret_cast<uintptr_t>(out.data()), static_cast<intptr_t>(big.size()));
  EXPECT_EQ(out[big.size() - 1], 0x00);
  EXPECT_EQ(out[big.size() - 2], 0xFE);
}

}  // namespace
}  // namespace lw
