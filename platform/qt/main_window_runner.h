#pragma once
// Opens the program's main window and runs it until it closes.
//
// Operations built elsewhere (Load File, Update Target, Update Programmer,
// Save *.KPJ, the start-up probe, device changes, the firmware update)
// plug in through MainDialog::hooks; pass a MainWindowSetup that fills
// them. It runs after the window and its logic exist and before the
// window initialises.
#include <functional>
#include <memory>

#include "core/context/app_context.h"

namespace lw {

class DeviceWatchPort;
class MainDialog;
class QtEventLoop;
class QtFileDialogs;
class QtHexView;
class QtMainWindow;
class QtMessageBoxes;

// Returns what must live while the window runs; it is released before the
// window and its logic go.
using MainWindowSetup = std::function<std::shared_ptr<void>(MainDialog& logic, QtMainWindow& window)>;

// The main window with its logic, hex view and services, built but not yet
// initialised. The program runs one through runMainWindow; tests drive one
// directly.
class MainWindowSession {
 public:
  // deviceWatch may be null when this build watches no devices.
  explicit MainWindowSession(AppContext& ctx, DeviceWatchPort* deviceWatch = nullptr);
  ~MainWindowSession();

  // False when the hex-view module could not provide its window; the
  // reason has been shown to the user.
  bool ready() const { return ready_; }
  QtMainWindow& window() { return *window_; }
  MainDialog& logic() { return *logic_; }
  QtHexView& hexView() { return *hexView_; }

  // Runs the logic's initialisation, then shows the window.
  void initialise();

 private:
  AppContext& ctx_;
  std::unique_ptr<QtEventLoop> eventLoop_;
  std::unique_ptr<QtMainWindow> window_;
  std::unique_ptr<QtHexView> hexView_;
  std::unique_ptr<MainDialog> logic_;
  bool ready_ = false;
};

void runMainWindow(AppContext& ctx, QtMessageBoxes& messages, QtFileDialogs& files,
                   const MainWindowSetup& setup = {}, DeviceWatchPort* deviceWatch = nullptr);

}  // namespace lw
