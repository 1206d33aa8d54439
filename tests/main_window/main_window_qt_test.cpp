// The real main window on the offscreen platform, with the hex view from
// the module built beside the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "core/context/settings_keys.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/recording_message_boxes.h"
#include "platform/posix/posix_modules.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/caption_fit.h"
#include "image/load_file_command.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_hex_view.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/status_field.h"
#include "resources/embedded_resources.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"
#include "tests/qt_test_application.h"

namespace lw {
namespace {

using namespace mainid;

QApplication& application() { return test::testApplication("main_window_qt_test"); }

class MainWindowQt : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    ctx.resources = &embeddedResources();
    ctx.ports.messages = &messages;
    ctx.ports.settings = &settings;
    ctx.ports.modules = &modules;
    ctx.state.applicationName = "loomwrite";
    uint32_t error = 0;
    ctx.state.hexViewLibrary = modules.load(std::string(LW_BIN_DIR) + "/libHexEdit.so", error);
    ASSERT_NE(ctx.state.hexViewLibrary, nullptr) << "error " << error;
    session = std::make_unique<MainWindowSession>(ctx);
    ASSERT_TRUE(session->ready());
    session->initialise();
    session->window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&session->window()));
  }
  void TearDown() override {
    session.reset();
    if (ctx.state.hexViewLibrary) modules.unload(ctx.state.hexViewLibrary);
  }

  template <typename W>
  W* control(int id) {
    return qobject_cast<W*>(session->window().control(id));
  }

  MemorySettings settings;
  RecordingMessageBoxes messages;
  PosixModules modules;
  AppContext ctx;
  std::unique_ptr<MainWindowSession> session;
};

TEST_F(MainWindowQt, ControlsCarryIdsCaptionsAndStates) {
  QtMainWindow& w = session->window();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Loomwrite_Programmer (v1.4.0.0) FW = v0. 0 "));
  EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("1016"))->text(), QStringLiteral("Update Target"));
  const std::vector<std::pair<int, QString>> buttons = {
      {kLoadFile, "Load File"},           {kSaveKpj, "Save *.KPJ"},
      {kExit, "Exit"},                    {kUpdateProgrammer, "Update Programmer"},
      {kInsertIspCode, "Insert ISP-Code"}};
  for (const auto& [id, caption] : buttons) {
    auto* b = control<QPushButton>(id);
    ASSERT_NE(b, nullptr) << id;
    EXPECT_EQ(b->text(), caption) << id;
    EXPECT_EQ(b->property("controlId").toInt(), id);
  }
  EXPECT_FALSE(control<QPushButton>(kInsertIspCode)->isEnabled());
  EXPECT_TRUE(control<QPushButton>(kLoadFile)->isDefault());
  EXPECT_EQ(control<QGroupBox>(kCodeBufferGroup)->title(), QStringLiteral("Binary Code Buffer"));
  EXPECT_EQ(control<QGroupBox>(kOptionGroup)->title(), QStringLiteral("H/W Option Setting"));
  EXPECT_EQ(control<QComboBox>(kSeries)->currentText(), QStringLiteral("Larch Series"));
  EXPECT_EQ(control<QComboBox>(kPart)->count(), 4);
  EXPECT_EQ(control<QComboBox>(kPart)->currentText(), QStringLiteral("Larch-F8U6"));
  EXPECT_FALSE(control<QComboBox>(kIspSize)->isEnabled());
  EXPECT_EQ(control<QLineEdit>(kIwdgCounter)->text(), QStringLiteral("FFFFF"));
  EXPECT_EQ(control<QLineEdit>(kIwdgCounter)->maxLength(), 5);
  EXPECT_TRUE(control<QCheckBox>(kAutoReload)->isVisible());
  EXPECT_FALSE(control<QCheckBox>(kAutoReload)->isChecked());
  EXPECT_TRUE(control<QCheckBox>(kIwdtDivEnable)->isHidden());

  const QStringList names = {"SWDP", "IWDGMODE", "IWDGINTMASK", "IWDGON"};
  for (int k = 0; k < 12; ++k) {
    auto* box = control<QCheckBox>(kFirstOptionBox + k);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked()) << k;
    EXPECT_EQ(box->isEnabled(), k < 4) << k;
    EXPECT_EQ(box->text(), k < 4 ? names[k] : QString()) << k;
  }
  EXPECT_NE(w.findChild<QToolButton*>(QStringLiteral("windowMenuButton")), nullptr);
  QStringList entries;
  for (const QAction* a : w.windowMenu()->actions()) entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(entries, (QStringList{"Read Target", "Verify Target", "Erase Target", "Blank Check", "-", "Check update",
                                  "Language", "-", QString::fromUtf8("關於 Loomwrite_Programmer(&A)...")}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowQt, ClickingOptionBoxEditsOptionBytes) {
  QCheckBox* swdp = control<QCheckBox>(kFirstOptionBox);
  QTest::mouseClick(swdp, Qt::LeftButton, {}, swdp->rect().center());
  EXPECT_TRUE(swdp->isChecked());
  EXPECT_EQ(ctx.state.part.optionBytes[0], 0xFE);
  QCheckBox* iwdgOn = control<QCheckBox>(kFirstOptionBox + 3);
  QTest::mouseClick(iwdgOn, Qt::LeftButton, {}, iwdgOn->rect().center());
  EXPECT_EQ(ctx.state.part.optionBytes[7], 0x7F);
}

TEST_F(MainWindowQt, CounterFieldTakesHexDigitsOnly) {
  QLineEdit* counter = control<QLineEdit>(kIwdgCounter);
  counter->clear();
  QTest::keyClicks(counter, "1g-2a");
  EXPECT_EQ(counter->text(), QStringLiteral("12A"));
  QTest::keyClicks(counter, "bcdef");
  EXPECT_EQ(counter->text(), QStringLiteral("12ABC"));
}

TEST_F(MainWindowQt, HexEditUpdatesSizeAndChecksum) {
  QWidget* view = session->hexView().widget();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->objectName(), QStringLiteral("1022"));
  view->setFocus();
  QTest::keyClicks(view, "A5");
  EXPECT_EQ(control<QLabel>(kSizeField)->text(), QStringLiteral("Size = 1 Bytes"));
  EXPECT_EQ(control<QLabel>(kChecksumField)->text(), QStringLiteral("Checksum = 0x00A5"));
  QTest::keyClicks(view, "1");
  EXPECT_EQ(control<QLabel>(kSizeField)->text(), QStringLiteral("Size = 2 Bytes"));
  // A byte typed past the end starts erased (0xFF): 0x1F.
  EXPECT_EQ(control<QLabel>(kChecksumField)->text(), QStringLiteral("Checksum = 0x00C4"));
  EXPECT_EQ(ctx.state.part.codeChecksum, 0xC4);
}

bool hasPixel(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (match(image.pixelColor(x, y))) return true;
    }
  }
  return false;
}
// The text is not antialiased: its pixels are exactly one of the two colours.
bool darkBlue(QColor c) { return c.rgb() == qRgb(0x0A, 0x34, 0x6A); }
bool white(QColor c) { return c.rgb() == qRgb(0xFF, 0xFF, 0xFF); }
// Every pixel of the area is a fill or a text colour, none a blend.
bool onlyColours(const QImage& image, const QRect& area, const std::vector<QColor>& allowed) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (std::find(allowed.begin(), allowed.end(), image.pixelColor(x, y)) == allowed.end()) return false;
  return true;
}

TEST_F(MainWindowQt, ProgressBarPaintsTwoColouredText) {
  auto* status = control<StatusField>(kStatusLine);
  ASSERT_NE(status, nullptr);
  const QRect inside = status->contentsRect();
  const QRect textArea(inside.left() + 147, inside.top(), 100, inside.height());

  const QColor doneFill = status->palette().color(QPalette::Highlight);
  const QColor restFill = status->palette().color(QPalette::Button);
  const std::vector<QColor> colours{doneFill, restFill, Qt::white, QColor(0x0A, 0x34, 0x6A)};

  session->logic().drawProgress(0);
  QImage image = status->grab().toImage();
  EXPECT_TRUE(hasPixel(image, textArea, darkBlue));
  EXPECT_FALSE(hasPixel(image, textArea, white));
  EXPECT_TRUE(onlyColours(image, textArea, colours));

  session->logic().drawProgress(100);
  image = status->grab().toImage();
  EXPECT_TRUE(hasPixel(image, textArea, white));
  EXPECT_FALSE(hasPixel(image, textArea, darkBlue));
  EXPECT_TRUE(onlyColours(image, textArea, colours));
  EXPECT_EQ(image.pixelColor(inside.left() + 2, inside.center().y()), doneFill);

  // Half way the text changes colour where the bar ends.
  session->logic().drawProgress(50);
  image = status->grab().toImage();
  const int split = inside.left() + 1 + 50 * (inside.width() - 2) / 100;
  EXPECT_TRUE(hasPixel(image, QRect(textArea.left(), inside.top(), split - textArea.left(), inside.height()), white));
  EXPECT_TRUE(hasPixel(image, QRect(split, inside.top(), 60, inside.height()), darkBlue));
  EXPECT_TRUE(onlyColours(image, textArea, colours));
  image.save(QStringLiteral(LW_BINARY_DIR "/progress_bar.png"));

  session->logic().drawProgress(-1);
  EXPECT_FALSE(status->progress().has_value());
}

// The banner covers the window's width to the last pixel; the file dialogs
// show each filter's label as it stands, its pattern not repeated.
TEST_F(MainWindowQt, BannerFillsTheWidthAndFileDialogsShowTheirFilterLabels) {
  QtMainWindow& w = session->window();
  auto* banner = w.findChild<QLabel*>();
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(banner->geometry().left(), 0);
  EXPECT_EQ(banner->width(), w.width());
  EXPECT_EQ(banner->pixmap().width(), w.width());
  EXPECT_EQ(banner->pixmap().height(), banner->height());

  QtFileDialogs files;
  files.setOwner(&w);
  QStringList shown;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
    dialog->grab().save(QStringLiteral(LW_BINARY_DIR "/save_dialog.png"));
    dialog->reject();
  });
  EXPECT_FALSE(files.saveFile("/tmp/x.kpj", {{"Vantrel Project Format(*.kpj)", "*.kpj"}, {"All Format(*.*)", "*.*"}},
                              "kpj"));
  EXPECT_EQ(shown, (QStringList{"Vantrel Project Format(*.kpj)", "All Format(*.*)"}));

  // The open dialog's longest filter, every code file first, reads whole.
  QString first;
  int room = 0, needed = 0;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    first = types->currentText();
    QStyleOptionComboBox box;
    box.initFrom(types);
    room = types->style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, types).width();
    needed = types->fontMetrics().horizontalAdvance(first);
    dialog->grab().save(QStringLiteral(LW_BINARY_DIR "/open_dialog.png"));
    dialog->reject();
  });
  EXPECT_FALSE(files.openFile("/tmp/", loadFileFilters(ctx)));
  EXPECT_EQ(first.left(15), "All Code Files(");
  EXPECT_GE(room, needed) << first.toStdString();
}

// The window grows beyond the template's size, never below it, and the hex
// view takes all the extra room; the fields below it keep to the bottom.
TEST_F(MainWindowQt, ResizingGivesTheExtraRoomToTheHexView) {
  QtMainWindow& w = session->window();
  const QSize smallest = w.size();
  EXPECT_EQ(w.minimumSize(), smallest);
  QWidget* view = session->hexView().widget();
  const QRect viewBefore = view->geometry();
  const QRect checksumBefore = control<QLabel>(kChecksumField)->geometry();
  const QRect statusBefore = control<QLabel>(kStatusLine)->geometry();

  w.resize(smallest + QSize(200, 150));
  QCoreApplication::processEvents();
  EXPECT_EQ(view->geometry(), viewBefore.adjusted(0, 0, 200, 150));
  EXPECT_EQ(control<QLabel>(kChecksumField)->geometry(), checksumBefore.translated(200, 150));
  EXPECT_EQ(control<QLabel>(kStatusLine)->geometry(), statusBefore.adjusted(0, 150, 200, 150));
  EXPECT_EQ(w.findChild<QLabel*>()->width(), w.width()) << "the banner follows";
  EXPECT_TRUE(captionsThatDoNotFit(w).isEmpty()) << captionsThatDoNotFit(w).join("; ").toStdString();
  w.grab().save(QStringLiteral(LW_BINARY_DIR "/main_window_large.png"));

  w.resize(smallest - QSize(50, 50));
  QCoreApplication::processEvents();
  EXPECT_EQ(w.size(), smallest);
  EXPECT_EQ(view->geometry(), viewBefore);
}

TEST_F(MainWindowQt, EscapeKeepsWindowOpenCloseBoxSavesChoice) {
  QtMainWindow& w = session->window();
  control<QComboBox>(kPart)->setCurrentIndex(2);
  emit control<QComboBox>(kPart)->activated(2);
  EXPECT_EQ(ctx.state.part.partIndex, 58);
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.isVisible());

  // A picture of the window with some code in it, for looking at.
  std::vector<uint8_t> image(0x2345);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  session->hexView().send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(image.data()),
                           static_cast<intptr_t>(image.size()));
  EXPECT_EQ(control<QLabel>(kSizeField)->text(), QStringLiteral("Size = 9029 Bytes"));
  session->logic().setStatusText("/home/user/projects/blinky/build/blinky.hex");
  w.grab().save(QStringLiteral(LW_BINARY_DIR "/main_window.png"));
  w.close();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), 2);
  EXPECT_EQ(settings.readInt(kSettingsSection, settings::kBodyId), 58);
  EXPECT_EQ(settings.readBinary(kSettingsSection, settings::kOptionBytes)->size(), 8u);
}

}  // namespace
}  // namespace lw
