#include "ui/main/main_window_operations.h"

#include "image/code_file_loader.h"
#include "image/project_save.h"
#include "link/programmer.h"
#include "link/programming_context.h"
#include "platform/ports/dialog_port.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"
#include "ui/main/combo_helpers.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_dialog_ids.h"

namespace lw {

MainWindowOperations::MainWindowOperations(MainDialog& dialog, EventLoopPort& loop, HidTransportPort& hid,
                                           OperationViews views, FirmwareUpdateTimings timings)
    : main_(dialog), loop_(loop), hid_(hid), views_(std::move(views)), timings_(timings) {}

MainWindowOperations::~MainWindowOperations() = default;

void MainWindowOperations::install() {
  MainDialog::Hooks& h = main_.hooks;
  h.loadFile = [this] { loadFileCommand(*this); };
  h.saveProject = [this] { saveProjectCommand(*this); };
  h.loadCommandLineFile = [this] { loadCommandLineFile(*this); };
  h.activated = [this] { autoReloadOnActivation(*this); };
  h.partApplied = [this] { resetProjectRecord(codeFiles().project, context().state.reservedWordDefault); };
  h.updateTarget = [this] { programmer().updateTarget(); };
  h.startupProbe = [this] { programmer().startupProbe(); };
  h.deviceChanged = [this](bool arrived, const std::string& path) {
    if (arrived) {
      programmer().onDeviceArrival(path);
    } else {
      programmer().onDeviceRemoval(path);
    }
  };
}

Programmer& MainWindowOperations::programmer() {
  if (!programmer_) {
    const ProgrammingContext ctx{main_.link(), hid_, *this, loop_, main_.context()};
    programmer_ = std::make_unique<Programmer>(ctx, timings_);
  }
  return *programmer_;
}

// ---- CodeFileHost ----------------------------------------------------------

AppContext& MainWindowOperations::context() { return main_.context(); }
DialogPort& MainWindowOperations::dialog() { return main_.dialog(); }
HexViewPort& MainWindowOperations::hexView() { return main_.hexView(); }
CodeFileState& MainWindowOperations::codeFiles() { return main_.codeFiles(); }

void MainWindowOperations::selectSeriesAndPart(uint16_t partIndex) {
  const uint32_t series = numberByKey(*context().resources, kPartTableBase + partIndex, partkey::kSeries);
  selectByNumber(main_.dialog(), mainid::kSeries, series);
  main_.listParts();
  selectByNumber(main_.dialog(), mainid::kPart, partIndex);
}

void MainWindowOperations::selectPartEntry(uint16_t partIndex) {
  selectByNumber(main_.dialog(), mainid::kPart, partIndex);
}

void MainWindowOperations::choosePartForced() {
  context().state.part.partIndex = kForceApplyPart;
  main_.choosePart();
}

void MainWindowOperations::showProjectOptionBytes() {
  main_.setupCheckBoxes(true);
  main_.showOptionBytes();
}

void MainWindowOperations::readOptionBytes() { main_.readOptionBytes(); }

std::optional<LoadArea> MainWindowOperations::askLoadArea(uint32_t proposedAddress) {
  return views_.askLoadArea ? views_.askLoadArea(proposedAddress) : std::nullopt;
}

std::optional<RequestAddressing> MainWindowOperations::askRequestAddressing() {
  return views_.askRequestAddressing ? views_.askRequestAddressing() : std::nullopt;
}

// ---- ProgrammerHost --------------------------------------------------------

void MainWindowOperations::setStatusLine(const std::string& text) { main_.setStatusText(text); }
std::string MainWindowOperations::loadedFilePath() const { return main_.lastLoadedPath(); }
void MainWindowOperations::drawProgress(int percent) { main_.drawProgress(percent); }
void MainWindowOperations::readOptionCheckBoxes() { main_.readOptionBytes(); }

void MainWindowOperations::setUpdateProgrammerEnabled(bool enabled) {
  if (enabled) {
    main_.dialog().setEnabled(mainid::kUpdateProgrammer, true);
  } else {
    main_.disableUpdateProgrammer();
  }
}

void MainWindowOperations::showFirmwarePrompt(int mode) {
  if (!views_.showFirmwarePrompt) return;
  views_.showFirmwarePrompt(mode, [this](std::function<void()> downloadEnded) {
    programmer().startFirmwareUpdate(std::move(downloadEnded));
  });
}

void MainWindowOperations::repaint() { main_.dialog().repaint(); }
bool MainWindowOperations::deviceNotificationsRegistered() const { return main_.watchingDevices(); }

}  // namespace lw
