#include "platform/qt/main_window_runner.h"

#include "core/codes.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"
#include "platform/qt/about_dialog.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_hex_view.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_message_boxes.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"

namespace lw {

MainWindowSession::MainWindowSession(AppContext& ctx, DeviceWatchPort* deviceWatch)
    : ctx_(ctx),
      eventLoop_(std::make_unique<QtEventLoop>()),
      window_(std::make_unique<QtMainWindow>(*ctx.resources)),
      hexView_(std::make_unique<QtHexView>(*ctx.ports.modules, ctx.state.hexViewLibrary)) {
  QtMainWindow* window = window_.get();
  ready_ = hexView_->create(window, mainid::kHexView, [window](int id, int code) { window->command(id, code); });
  if (!ready_) {
    ctx.ports.messages->show(languageTextOf(ctx, textkey::kNoHexView), languageTextOf(ctx, textkey::kError),
                             mb::kIconError);
    return;
  }
  window->attachControl(mainid::kHexView, hexView_->widget());

  MainDialogPorts ports;
  ports.dialog = &window->controls();
  ports.hexView = hexView_.get();
  ports.timers = &window->timers();
  ports.progress = window;
  ports.eventLoop = eventLoop_.get();
  ports.deviceWatch = deviceWatch;
  logic_ = std::make_unique<MainDialog>(ctx, ports);
  window->setLogic(logic_.get());

  logic_->hooks.showAbout = [this] {
    AboutDialog about(window_.get(), window_->windowIcon(), logic_->aboutTitle(), logic_->aboutText());
    about.exec();
  };
}

MainWindowSession::~MainWindowSession() {
  if (window_) window_->setLogic(nullptr);
  logic_.reset();
  // The view's code lives in the module, which start-up unloads after this.
  if (hexView_) hexView_->destroy();
  window_.reset();
}

void MainWindowSession::initialise() {
  if (!ready_) return;
  logic_->initialise();
}

void runMainWindow(AppContext& ctx, QtMessageBoxes& messages, QtFileDialogs& files, const MainWindowSetup& setup,
                   DeviceWatchPort* deviceWatch) {
  MainWindowSession session(ctx, deviceWatch);
  if (!session.ready()) return;
  messages.setMainWindow(&session.window());
  files.setOwner(&session.window());
  std::shared_ptr<void> operations = setup ? setup(session.logic(), session.window()) : nullptr;
  session.initialise();
  session.window().exec();
  operations.reset();
  messages.setMainWindow(nullptr);
  files.setOwner(nullptr);
}

}  // namespace lw
