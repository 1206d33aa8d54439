#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "platform/qt/qt_firmware_prompt.h"
#include "platform/qt/warning_sign_frames.h"

namespace lw::test {
namespace {

// One application for the whole run, ended before the program's static
// objects go away (Qt's own statics must outlive it).
class QtEnvironment final : public testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "firmware_prompt_view_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};
[[maybe_unused]] testing::Environment* const qtEnvironment = testing::AddGlobalTestEnvironment(new QtEnvironment);


void processFor(int ms, const std::function<bool()>& done = [] { return false; }) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms && !done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int opaquePixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += qAlpha(image.pixel(x, y)) > 0;
  return n;
}

TEST(WarningSignFrames, NineFramesThatGrowToTheCompleteSign) {
  const auto frames = warningSignFrames();
  ASSERT_EQ(frames.size(), 9u);
  for (const auto& f : frames) EXPECT_EQ(f.size(), QSize(41, 41));
  EXPECT_EQ(opaquePixels(frames[0]), 0);
  for (int k = 1; k <= 8; ++k) EXPECT_GT(opaquePixels(frames[k]), opaquePixels(frames[k - 1])) << k;

  const QImage finished = finishedSignBitmap();
  EXPECT_EQ(QColor(finished.pixel(0, 0)), kPromptAmber);
  EXPECT_EQ(QColor(finished.pixel(20, 30)), QColor(Qt::black));  // the exclamation mark
}

TEST(FirmwarePromptView, LooksLikeTheDialogTemplate) {
  PromptAnimation animation;
  FirmwarePromptServices services;
  services.text = [](uint16_t key) { return key == 1107 ? std::string("Warning !") : std::string("t"); };
  QtFirmwarePromptView view(nullptr, 0, services, animation);
  EXPECT_TRUE(view.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(view.palette().color(QPalette::Window), kPromptAmber);

  auto* sign = view.findChildren<QLabel*>().at(2);
  EXPECT_EQ(sign->geometry().topLeft(), QPoint(30, 131));
  EXPECT_TRUE(sign->isHidden());

  auto* title = view.findChildren<QLabel*>().at(1);
  EXPECT_EQ(title->text(), "Warning !");
  EXPECT_EQ(title->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(title->font().pixelSize(), 48);
  EXPECT_EQ(title->font().weight(), QFont::DemiBold);
  EXPECT_EQ(view.findChildren<QLabel*>().at(0)->font().pixelSize(), 16);
}

TEST(FirmwarePromptView, OkRunsTheUpdateAndClosesAfterTheEnd) {
  PromptAnimation animation;
  std::function<void()> downloadEnded;
  FirmwarePromptServices services;
  services.text = [](uint16_t) { return std::string("x"); };
  services.startUpdate = [&](std::function<void()> ended) { downloadEnded = std::move(ended); };
  QtFirmwarePromptView view(nullptr, 0, services, animation);
  view.show();

  auto buttons = view.findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 2);
  buttons[0]->click();
  EXPECT_TRUE(buttons[0]->isHidden());
  processFor(1000, [&] { return bool(downloadEnded); });
  ASSERT_TRUE(downloadEnded);

  QTest::keyClick(&view, Qt::Key_Escape);  // Escape while the update runs: the prompt stays
  EXPECT_TRUE(view.isVisible());

  processFor(250);
  EXPECT_GT(animation.dots, 0);
  downloadEnded();
  EXPECT_FALSE(view.findChildren<QLabel*>().at(2)->isHidden());
  processFor(2000, [&view] { return !view.isVisible(); });
  EXPECT_FALSE(view.isVisible());
  EXPECT_EQ(view.result(), 2);
}

}  // namespace
}  // namespace lw::test
