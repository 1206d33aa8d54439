#include "ui/main/main_window_host.h"

#include "image/auto_reload.h"
#include "image/code_buffer_access.h"
#include "image/load_file_command.h"
#include "image/project_save.h"
#include "link/adapter_operations.h"
#include "link/programming_context.h"
#include "core/ports/dialog_port.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"
#include "ui/main/combo_helpers.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"

namespace lw {

MainWindowHost::MainWindowHost(MainDialog& dialog, EventLoopPort& loop, HidTransportPort& hid,
                                           OperationViews views, FirmwareUpdateTimings timings)
    : main_(dialog), loop_(loop), hid_(hid), views_(std::move(views)), timings_(timings) {}

MainWindowHost::~MainWindowHost() = default;

void MainWindowHost::install() {
  MainDialog::Hooks& h = main_.hooks;
  h.loadFile = [this] { loadFileCommand(*this); };
  h.saveProject = [this] { saveProjectCommand(*this); };
  h.loadCommandLineFile = [this] { loadCommandLineFile(*this); };
  h.activated = [this] { autoReloadOnActivation(*this); };
  h.partApplied = [this] { resetProjectRecord(codeFiles().project, context().state.reservedWordDefault); };
  h.updateTarget = [this] { adapter().updateTarget(); };
  h.updateProgrammer = [this] { adapter().updateProgrammer(); };
  h.readTarget = [this] { adapter().readTarget(); };
  h.verifyTarget = [this] { adapter().verifyTarget(); };
  h.eraseTarget = [this] { adapter().eraseTarget(); };
  h.blankCheck = [this] { adapter().blankCheck(); };
  h.startupProbe = [this] { adapter().startupProbe(); };
  h.deviceChanged = [this](bool arrived, const std::string& path) {
    if (arrived) {
      adapter().onDeviceArrival(path);
    } else {
      adapter().onDeviceRemoval(path);
    }
  };
}

AdapterOperations& MainWindowHost::adapter() {
  if (!adapter_) {
    const ProgrammingContext ctx{main_.link(), hid_, *this, loop_, main_.context()};
    adapter_ = std::make_unique<AdapterOperations>(ctx, timings_);
  }
  return *adapter_;
}

// ---- CodeFileHost ----------------------------------------------------------

AppContext& MainWindowHost::context() { return main_.context(); }
DialogPort& MainWindowHost::dialog() { return main_.dialog(); }
HexViewPort& MainWindowHost::hexView() { return main_.hexView(); }
CodeFileState& MainWindowHost::codeFiles() { return main_.codeFiles(); }

void MainWindowHost::selectSeriesAndPart(uint16_t partIndex) {
  const uint32_t series = numberByKey(*context().resources, kPartTableBase + partIndex, partkey::kSeries);
  selectByNumber(main_.dialog(), mainid::kSeries, series);
  main_.listParts();
  selectByNumber(main_.dialog(), mainid::kPart, partIndex);
}

void MainWindowHost::selectPartEntry(uint16_t partIndex) {
  selectByNumber(main_.dialog(), mainid::kPart, partIndex);
}

void MainWindowHost::choosePartForced() {
  context().state.part.partIndex = kForceApplyPart;
  main_.choosePart();
}

void MainWindowHost::showProjectOptionBytes() {
  main_.setupCheckBoxes(true);
  main_.showOptionBytes();
}

void MainWindowHost::readOptionCheckBoxes() { main_.readOptionCheckBoxes(); }

std::optional<LoadArea> MainWindowHost::askLoadArea(uint32_t proposedAddress) {
  return views_.askLoadArea ? views_.askLoadArea(proposedAddress) : std::nullopt;
}

std::optional<RequestAddressing> MainWindowHost::askRequestAddressing() {
  return views_.askRequestAddressing ? views_.askRequestAddressing() : std::nullopt;
}

FormSources MainWindowHost::requestFormSources() {
  DialogPort& d = main_.dialog();
  FormSources s;
  s.addressing = codeFiles().requestAddressing;
  for (int i = 0; i < d.comboCount(mainid::kPart); ++i)
    s.partList.push_back({d.comboText(mainid::kPart, i), d.comboData(mainid::kPart, i)});
  if (const int selected = d.comboSelection(mainid::kPart); selected >= 0)
    s.selectedPartIndex = d.comboData(mainid::kPart, selected);
  s.firstOptionBoxEnabled = d.isEnabled(mainid::kFirstOptionBox);
  return s;
}

void MainWindowHost::showRequestForm(const std::string& projectPath) {
  // The sources are read at each build, so a later "Load *.KPJ" follows
  // the main dialog as it is then.
  OperationViews::FormRenderer render = [this](const std::string& path, std::u16string& form) {
    return renderRequestForm(context(), path, requestFormSources(), form);
  };
  std::u16string form;
  render(projectPath, form);
  if (views_.showFormList) views_.showFormList(form, std::move(render));
}

// ---- AdapterOperationsHost --------------------------------------------------------

// The adapter operations run on the user-interface thread and often wait
// right after a new status text (500 ms for "Detect if Tether is exist...",
// 3 s before "Tether is upgraded !"), so the text is painted at once.
void MainWindowHost::setStatusLine(const std::string& text) {
  main_.setStatusText(text);
  main_.dialog().paintNow(mainid::kStatusLine);
}
std::string MainWindowHost::loadedFilePath() const { return main_.lastLoadedPath(); }
std::string MainWindowHost::statusLine() const { return main_.dialog().text(mainid::kStatusLine); }

void MainWindowHost::reportProgress(const OperationProgress& progress) {
  bar_.show(progress, context().state.part.progressOffset,
            [this](int value, uint16_t wordKey) { main_.drawProgress(value, wordKey); });
  if (views_.progressEvents) views_.progressEvents(progress);
}

void MainWindowHost::showTargetImage(std::span<const uint8_t> image, const std::string& statusText) {
  // The bytes stand for no file: Auto Reload would put the file back over
  // them, a later operation's status line names no file, and a project
  // saved from them records no code file's name.
  codeFiles().lastLoadedPath.clear();
  codeFiles().project.codeFileName.clear();
  codeFiles().autoReload.held = false;
  showLoadedImage(*this, statusText, image);
}

void MainWindowHost::setUpdateProgrammerEnabled(bool enabled) {
  if (enabled) {
    main_.dialog().setEnabled(mainid::kUpdateProgrammer, true);
  } else {
    main_.disableUpdateProgrammer();
  }
}

OfflineSettings& MainWindowHost::offlineSettings() { return main_.codeFiles().project.offline; }

bool MainWindowHost::editOfflineSettings(uint32_t highestStartAddress) {
  return views_.editOfflineSettings && views_.editOfflineSettings(offlineSettings(), highestStartAddress);
}

void MainWindowHost::showFirmwarePrompt(int mode) {
  if (!views_.showFirmwarePrompt) return;
  views_.showFirmwarePrompt(mode, [this](std::function<void()> downloadEnded) {
    adapter().startFirmwareUpdate(std::move(downloadEnded));
  });
}

void MainWindowHost::repaint() { main_.dialog().repaint(); }
bool MainWindowHost::deviceNotificationsRegistered() const { return main_.watchingDevices(); }

void MainWindowHost::setOperationRunning(bool running) {
  if (running) {
    main_.beginOperation();
  } else {
    main_.endOperation();
  }
}

}  // namespace lw
