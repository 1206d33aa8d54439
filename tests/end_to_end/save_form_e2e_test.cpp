// The running program's "Save *.KPJ" to its end, offscreen with the real
// hex-view module and the program's own Qt dialogs: OK in the KPJ Dialog
// shows the saved project's request form in the Form list dialog; Cancel
// leaves the complete project file and shows no form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/ids/form_list_dialog_ids.h"
#include "core/ids/kpj_dialog_ids.h"
#include "core/ids/main_dialog_ids.h"
#include "core/text.h"
#include "image/kpj_format.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/qt/form_preview_widget.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/qt_control_dialog.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_operation_views.h"
#include "resources/embedded_resources.h"
#include "tests/adapter/temp_dir.h"
#include "tests/end_to_end/e2e_rig.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"
#include "tests/qt_test_application.h"

namespace lw::e2e {
namespace {

constexpr char kBlinky[] = LW_SOURCE_DIR "/examples/blinky.hex";

QApplication& application() { return test::testApplication("save_form_e2e_test"); }

class AnsweringFiles final : public FileDialogPort {
 public:
  std::optional<std::string> openFile(const std::string&, const std::vector<FileFilter>&) override { return open; }
  std::optional<std::string> saveFile(const std::string&, const std::vector<FileFilter>&,
                                      const std::string&) override {
    return save;
  }
  std::optional<std::string> open, save;
};

// Runs the action on the next modal dialog as soon as it is up.
void onNextModal(std::function<void(QtControlDialog&)> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (auto* dialog = dynamic_cast<QtControlDialog*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(*dialog);
    }
  });
  timer->start(20);
}

TEST(RunningProgram, SaveKpjOkShowsTheFormCancelShowsNone) {
  application();
  TempDir dir;
  AnsweringFiles files;
  FastClock clock;
  WindowContext program(files, clock, false);
  ASSERT_TRUE(program.hexViewLoaded()) << "error " << program.loadError;
  AppContext& ctx = program.ctx;
  RecordingMessageBoxes& messages = program.messages;

  QtEventLoop loop;
  LwHidTransport transport;
  auto session = std::make_unique<MainWindowSession>(ctx, nullptr);
  ASSERT_TRUE(session->ready());
  QtMainWindow& window = session->window();
  OperationViews views = qtOperationViews(&window, ctx);
  views.askLoadArea = [](uint32_t) { return std::optional<LoadArea>(LoadArea{0, false, true}); };
  auto operations = std::make_unique<MainWindowHost>(session->logic(), loop, transport, views);
  operations->install();
  session->initialise();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  files.open = kBlinky;
  QTest::mouseClick(qobject_cast<QPushButton*>(window.control(mainid::kLoadFile)), Qt::LeftButton);
  const std::string path = (dir.path() / "job.kpj").string();
  files.save = path;

  // OK with an address block: the Form list dialog shows the saved file's form.
  std::u16string shownForm;
  bool formShown = false;
  onNextModal([&](QtControlDialog& kpj) {
    qobject_cast<QLineEdit*>(kpj.control(kpjdlg::kToField))->setText("Acme & Co");
    qobject_cast<QLineEdit*>(kpj.control(kpjdlg::kPartNoField))->setText("PN-0042");
    onNextModal([&](QtControlDialog& form) {
      formShown = true;
      auto* preview = dynamic_cast<FormPreviewWidget*>(form.control(formdlg::kPreview));
      if (preview) shownForm = preview->text();
      QTest::qWait(30);
      form.grab().save(LW_BINARY_DIR "/end_to_end_form_list_dialog.png");
      qobject_cast<QPushButton*>(form.control(formdlg::kExit))->click();
    });
    qobject_cast<QPushButton*>(kpj.control(kpjdlg::kOk))->click();
  });
  QTest::mouseClick(qobject_cast<QPushButton*>(window.control(mainid::kSaveKpj)), Qt::LeftButton);
  EXPECT_TRUE(formShown);
  const std::string form = utf16ToUtf8(shownForm);
  EXPECT_NE(form.find(" To      : Acme & Co "), std::string::npos) << form;
  EXPECT_NE(form.find("    KPJ File Name   job.kpj "), std::string::npos);
  EXPECT_NE(form.find("    CodeFile Name   blinky.hex "), std::string::npos);
  EXPECT_NE(form.find("    MCU Body        Larch-F8U6 "), std::string::npos);
  EXPECT_EQ(session->logic().codeFiles().requestAddressing.partNo, "PN-0042");

  // Cancel: the file is written whole, no form follows.
  std::filesystem::remove(path);
  formShown = false;
  onNextModal([&](QtControlDialog& kpj) {
    onNextModal([&](QtControlDialog&) { formShown = true; });
    qobject_cast<QPushButton*>(kpj.control(kpjdlg::kCancel))->click();
  });
  QTest::mouseClick(qobject_cast<QPushButton*>(window.control(mainid::kSaveKpj)), Qt::LeftButton);
  QTest::qWait(100);
  EXPECT_FALSE(formShown);
  EXPECT_TRUE(checkProjectFile(dir.readBytes("job.kpj")));
  for (const ShownBox& b : messages.shown) ADD_FAILURE() << b.text;

  operations.reset();
  session.reset();
}

}  // namespace
}  // namespace lw::e2e
