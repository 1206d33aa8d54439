// The Off-line mode dialog's Qt view, driven like a user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include "core/context/app_context.h"
#include "platform/qt/offline_dialog_view.h"
#include "platform/memory/recording_message_boxes.h"
#include "resources/embedded_resources.h"
#include "ui/dialogs/offline_dialog.h"

namespace lw::test {
namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "offline_dialog_view_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* instance = new QApplication(argc, argv);
  return *instance;
}

TEST(OfflineDialogView, TypedValuesAreCorrectedAndStoredAsTheUserTypes) {
  app();
  AppContext ctx;
  RecordingMessageBoxes boxes;
  ctx.resources = &embeddedResources();
  ctx.ports.messages = &boxes;
  OfflineSettings settings;
  settings.startAddress = 0xFFF0;
  OfflineDialog logic(ctx, settings, 0xFFF0);
  QtOfflineDialogView view(nullptr, logic);
  view.show();
  EXPECT_EQ(view.windowTitle().toStdString(), "Set Max Counter & Serial Number");
  EXPECT_EQ(view.controls().text(offlinedlg::kEndAddress), "0000FFFF");
  EXPECT_FALSE(view.controls().isEnabled(offlinedlg::kSerialString));

  auto* counter = static_cast<QLineEdit*>(view.control(offlinedlg::kMaxCounter));
  counter->selectAll();
  QTest::keyClicks(counter, "70000");
  EXPECT_EQ(counter->text().toStdString(), "65530");
  EXPECT_EQ(settings.maxCounter, 65530);

  QTest::mouseClick(view.control(offlinedlg::kSerialEnabled), Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_TRUE(view.controls().isEnabled(offlinedlg::kSerialString));
  auto* address = static_cast<QLineEdit*>(view.control(offlinedlg::kStartAddress));
  address->selectAll();
  QTest::keyClicks(address, "00001001");
  EXPECT_EQ(address->text().toStdString(), "00001000");
  EXPECT_EQ(view.controls().text(offlinedlg::kEndAddress), "0000100F");
  QTest::keyClicks(static_cast<QLineEdit*>(view.control(offlinedlg::kSerialString)), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(view.controls().text(offlinedlg::kSerialString), "ABCDEFGHIJKL");  // the 12-character limit

  // LW_SCREENSHOT_DIR: where a picture of the dialog goes, for a person to look at.
  if (const char* dir = std::getenv("LW_SCREENSHOT_DIR"))
    view.grab().save(QString::fromUtf8(dir) + "/offline_dialog.png");

  QTest::mouseClick(view.control(offlinedlg::kOk), Qt::LeftButton);
  EXPECT_EQ(view.result(), offlinedlg::kResultOk);
}

}  // namespace
}  // namespace lw::test
