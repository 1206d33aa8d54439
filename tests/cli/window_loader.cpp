#include "tests/cli/window_loader.h"

#include <deque>
#include <optional>

#include "core/context/app_context.h"
#include "cli/console_session.h"
#include "platform/memory/memory_main_dialog.h"
#include "image/code_buffer_access.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/memory/manual_clock.h"
#include "platform/memory/memory_dialog.h"
#include "platform/memory/memory_hex_view.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/memory_window_services.h"
#include "platform/memory/recording_message_boxes.h"
#include "platform/posix/posix_modules.h"
#include "resources/embedded_resources.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"

namespace lw::test {

namespace {

class QueuedFileDialog final : public FileDialogPort {
 public:
  std::optional<std::string> openFile(const std::string&, const std::vector<FileFilter>&) override {
    if (paths.empty()) return std::nullopt;
    std::string p = paths.front();
    paths.pop_front();
    return p;
  }
  std::optional<std::string> saveFile(const std::string&, const std::vector<FileFilter>&,
                                      const std::string&) override {
    return std::nullopt;
  }
  std::deque<std::string> paths;
};

}  // namespace

std::vector<uint8_t> loadInTheWindow(const std::string& partName, const std::vector<WindowLoad>& loads) {
  RecordingMessageBoxes messages;
  MemorySettings settings;
  QueuedFileDialog files;
  ManualClock clock;
  PosixModules modules;
  AppContext ctx;
  ctx.resources = &embeddedResources();
  ctx.ports.messages = &messages;
  ctx.ports.settings = &settings;
  ctx.ports.files = &files;
  ctx.ports.clock = &clock;
  ctx.ports.modules = &modules;
  ctx.state.applicationName = "loomwrite";
  ctx.state.commandLinePartName = partName;

  MemoryDialog dialog;
  declareMainDialogControls(dialog);
  MemoryHexView hexView;
  MemoryTimers timers;
  ManualEventLoop loop;
  LwHidTransport hid;
  MainDialogPorts ports;
  ports.dialog = &dialog;
  ports.hexView = &hexView;
  ports.timers = &timers;
  ports.eventLoop = &loop;
  MainDialog main(ctx, ports);
  hexView.setNotify([&main](int id, int code) { main.onCommand(id, code); });

  std::deque<LoadArea> areas;
  OperationViews views;
  views.askLoadArea = [&areas](uint32_t) -> std::optional<LoadArea> {
    if (areas.empty()) return std::nullopt;
    LoadArea a = areas.front();
    areas.pop_front();
    return a;
  };
  MainWindowHost operations(main, loop, hid, std::move(views));
  operations.install();
  main.initialise();

  for (const WindowLoad& load : loads) {
    files.paths.push_back(load.path);
    areas.push_back(load.area);
    main.onCommand(mainid::kLoadFile);
  }
  return fetchCodeBuffer(hexView, codeBufferLength(hexView));
}

}  // namespace lw::test
