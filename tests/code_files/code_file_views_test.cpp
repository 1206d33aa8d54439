// The Qt views of the area dialog and the KPJ Dialog, driven like a user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "platform/qt/code_file_dialog_views.h"
#include "resources/embedded_resources.h"
#include "ui/dialogs/area_dialog.h"
#include "ui/dialogs/kpj_dialog.h"

namespace lw::test {
namespace {

// One application object for the whole run; it lives until the process ends.
QApplication& app() {
  static int argc = 1;
  static char name[] = "code_file_views_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* instance = new QApplication(argc, argv);
  return *instance;
}

// Closes whatever dialog is still open after a while, so that a test whose
// script did not reach its dialog fails instead of hanging.
void closeStrayDialogsLater() {
  QTimer::singleShot(5000, [] { QApplication::closeAllWindows(); });
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2)); }

TEST(CodeFileViews, AreaDialogTakesOnlyHexDigitsAndAnswersOnOk) {
  app();
  AreaDialog logic(embeddedResources(), 0, 0xEC00);
  QtAreaDialogView view(nullptr, logic);
  view.show();
  EXPECT_EQ(view.windowTitle().toStdString(), "Select AP/IAP area");
  for (const int id : {1043, 1044, 1045, 1011, 1150, 1, 2}) EXPECT_TRUE(view.controls().hasControl(id)) << id;
  EXPECT_EQ(view.controls().text(areadlg::kAddressField), "EC00");
  EXPECT_FALSE(view.controls().isEnabled(areadlg::kAddressField));

  click(view.control(areadlg::kIapRadio));
  EXPECT_TRUE(view.controls().isChecked(areadlg::kIapRadio));
  EXPECT_FALSE(view.controls().isChecked(areadlg::kApRadio));
  auto* field = static_cast<QLineEdit*>(view.control(areadlg::kAddressField));
  ASSERT_TRUE(field->isEnabled());
  field->clear();
  QTest::keyClicks(field, "1g-F0 z00");
  EXPECT_EQ(field->text().toStdString(), "1F000");
  EXPECT_EQ(field->maxLength(), 8);
  QTest::keyClick(field, Qt::Key_Backspace);
  EXPECT_EQ(field->text().toStdString(), "1F00");

  click(view.control(areadlg::kClearBuffer));
  click(view.control(areadlg::kOk));
  EXPECT_EQ(view.result(), areadlg::kOk);
  EXPECT_EQ(logic.result().address, 0x1F00u);
  EXPECT_FALSE(logic.result().clearBuffer);
}

TEST(CodeFileViews, EscapeCancelsTheAreaDialog) {
  app();
  closeStrayDialogsLater();
  QTimer::singleShot(0, [] {
    if (QWidget* w = QApplication::activeModalWidget()) QTest::keyClick(w, Qt::Key_Escape);
  });
  EXPECT_FALSE(askLoadAreaQt(nullptr, embeddedResources(), 0, 0xEC00).has_value());
}

TEST(CodeFileViews, KpjDialogShowsThePromptAndReturnsTheFields) {
  app();
  closeStrayDialogsLater();
  bool promptFound = false;
  QTimer::singleShot(0, [&promptFound] {
    auto* view = dynamic_cast<QtKpjDialogView*>(QApplication::activeModalWidget());
    if (!view) return;
    for (QLabel* l : view->findChildren<QLabel*>()) promptFound |= l->text().startsWith("Need to generate a");
    QTest::keyClicks(view->control(kpjdlg::kToField), "Plant 2");
    QTest::keyClicks(view->control(kpjdlg::kPartNoField), "X-17");
    click(view->control(kpjdlg::kOk));
  });
  const auto addressing = askRequestAddressingQt(nullptr, embeddedResources(), 0);
  EXPECT_TRUE(promptFound);
  ASSERT_TRUE(addressing.has_value());
  EXPECT_EQ(addressing->to, "Plant 2");
  EXPECT_EQ(addressing->from, "");
  EXPECT_EQ(addressing->partNo, "X-17");
}

}  // namespace
}  // namespace lw::test
