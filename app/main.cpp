// The program's entry point: builds the ports, the application context and
// runs start-up, which shows the main window with its operations.
#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>

#include <cstdio>

#include "app/command_line.h"
#include "app/startup.h"
#include "platform/hid_link/hid_device_watch.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/posix/file_lock_guard.h"
#include "platform/posix/posix_modules.h"
#include "platform/posix/posix_temporary_files.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/clock_port.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_http_download.h"
#include "platform/qt/qt_language.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_operation_views.h"
#include "platform/qt/qt_settings.h"
#include "platform/qt/qt_url_opener.h"
#include "resources/embedded_resources.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"
#include "update/ini_reader.h"
#include "update/own_version.h"
#include "update/update_check.h"

int main(int argc, char** argv) {
  // --help and --version are answered before any window or device is
  // touched, so they work without a display and start no firmware check.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const lw::CommandLine commandLine = lw::parseCommandLine(arguments);
  if (!commandLine.error.empty()) {
    std::fprintf(stderr, "loomwrite: %s\n%s", commandLine.error.c_str(), lw::commandLineHelpText());
    return 2;
  }
  const lw::CommandLineRequest request = commandLine.request;
  if (request == lw::CommandLineRequest::Help) {
    std::fputs(lw::commandLineHelpText(), stdout);
    return 0;
  }
  if (request == lw::CommandLineRequest::Version) {
    lw::AppContext plain;
    plain.resources = &lw::embeddedResources();
    std::printf("%s\n", lw::languageTextOf(plain, lw::textkey::kProgramTitle).c_str());
    return 0;
  }

  QApplication app(argc, argv);
  const QFileInfo program(QCoreApplication::applicationFilePath());

  lw::QtSettings settings(program.completeBaseName().toStdString());
  lw::QtMessageBoxes messages;
  lw::QtFileDialogs files;
  lw::PosixModules modules;
  lw::FileLockGuard guard;
  lw::PosixTemporaryFiles temporaryFiles(program.absolutePath().toStdString());
  lw::QtHttpDownload http;
  lw::IniFileReader ini;
  lw::QtUrlOpener browser;
  lw::AppContext ctx;
  lw::UpdateCheckPorts updatePorts;
  updatePorts.texts = &ctx;  // the boxes speak the language in use
  updatePorts.temporaryFiles = &temporaryFiles;
  updatePorts.http = &http;
  updatePorts.ini = &ini;
  updatePorts.browser = &browser;
  updatePorts.messages = &messages;
  updatePorts.settings = &settings;
  updatePorts.ownVersion = lw::ownProductVersion();
  lw::UpdateCheck updateCheck(updatePorts,
                              lw::resolveUpdateBaseUrl(settings, std::getenv(lw::kUpdateBaseUrlVariable)));

  ctx.resources = &lw::embeddedResources();
  ctx.ports.messages = &messages;
  ctx.ports.settings = &settings;
  ctx.ports.files = &files;
  ctx.ports.clock = &lw::systemClock();
  ctx.ports.modules = &modules;
  ctx.ports.instanceGuard = &guard;
  ctx.ports.updateCheck = &updateCheck;
  ctx.ports.debugOutput = [](const std::string& line) { qDebug("%s", line.c_str()); };
  lw::QtLanguage qtLanguage;
  ctx.ports.platformLanguage = [&qtLanguage](uint16_t languageIndex) { qtLanguage.apply(languageIndex); };

  ctx.state.documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();

  lw::StartupInput input;
  input.programPath = program.absoluteFilePath().toStdString();
  // Read again after QApplication, which takes its own options out of argv.
  for (int i = 1; i < argc; ++i) input.arguments.emplace_back(argv[i]);

  lw::QtEventLoop loop;
  lw::LwHidTransport transport;
  lw::HidDeviceWatch deviceWatch(loop);

  return lw::runProgram(ctx, input, [&](lw::AppContext& c) {
    lw::runMainWindow(
        c, messages, files,
        [&](lw::MainDialog& logic, lw::QtMainWindow& window) -> std::shared_ptr<void> {
          auto operations = std::make_shared<lw::MainWindowHost>(logic, loop, transport,
                                                                       lw::qtOperationViews(&window, c));
          operations->install();
          loop.quitWhenFinished(window);
          return operations;
        },
        &deviceWatch);
  });
}
