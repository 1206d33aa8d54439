// The program's entry point: builds the Qt ports, the application context
// and runs start-up, which shows the main window.
#include <QApplication>
#include <QDialog>
#include <QFileInfo>

#include "app/startup.h"
#include "platform/posix/file_lock_guard.h"
#include "platform/posix/posix_modules.h"
#include "platform/ports/clock_port.h"
#include "platform/ports/update_check_port.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_settings.h"
#include "resources/embedded_resources.h"
#include "resources/language.h"

#ifdef LW_HAVE_MAIN_WINDOW
#include "platform/qt/main_window_runner.h"
#endif

namespace {

// The update check runs through this port; until it is built, it does nothing.
class NoUpdateCheck final : public lw::UpdateCheckPort {
 public:
  void run(int) override {}
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string programPath = QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath().toStdString();
  const std::string appName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();

  lw::QtSettings settings(appName);
  lw::QtMessageBoxes messages;
  lw::QtFileDialogs files;
  lw::PosixModules modules;
  lw::FileLockGuard guard;
  NoUpdateCheck updateCheck;

  lw::AppContext ctx;
  ctx.resources = &lw::embeddedResources();
  ctx.ports.messages = &messages;
  ctx.ports.settings = &settings;
  ctx.ports.files = &files;
  ctx.ports.clock = &lw::systemClock();
  ctx.ports.modules = &modules;
  ctx.ports.instanceGuard = &guard;
  ctx.ports.updateCheck = &updateCheck;
  ctx.ports.debugOutput = [](const std::string& line) { qDebug("%s", line.c_str()); };

  lw::StartupInput input;
  input.programPath = programPath;
  for (int i = 1; i < argc; ++i) input.arguments.emplace_back(argv[i]);

  return lw::runProgram(ctx, input, [&](lw::AppContext& c) {
#ifdef LW_HAVE_MAIN_WINDOW
    lw::runMainWindow(c, messages, files);
#else
    QDialog window;
    window.setWindowTitle(QString::fromStdString(
        lw::captionPart(lw::languageText(*c.resources, c.state.languageIndex, 102).value_or(""))));
    messages.setMainWindow(&window);
    window.exec();
#endif
  });
}
