#pragma once
// Connects the main dialog to the operations behind its buttons: loading
// and saving code files (image/) and the adapter operations (link/). It
// serves both as their host, answering from the main dialog, and fills the
// main dialog's hooks. The Qt program and the command-line tool use the
// same class; only the views they hand in differ.
#include <functional>
#include <memory>
#include <optional>

#include "image/code_file_host.h"
#include "link/firmware_update.h"
#include "link/adapter_operations_host.h"
#include "report/request_form.h"
#include "ui/main/progress_bar_view.h"

namespace lw {

class EventLoopPort;
class HidTransportPort;
class MainDialog;
class AdapterOperations;

// The dialogs the operations open, as the program's views show them.
struct OperationViews {
  // "Select AP/IAP area" offering the address; nothing when cancelled.
  std::function<std::optional<LoadArea>(uint32_t proposedAddress)> askLoadArea;
  // The KPJ Dialog; nothing when cancelled.
  std::function<std::optional<RequestAddressing>()> askRequestAddressing;
  // The firmware-update prompt, modal, in the given mode. Its OK calls
  // startUpdate with the call that tells the prompt the download ended.
  using StartUpdate = std::function<void(std::function<void()> downloadEnded)>;
  std::function<void(int mode, StartUpdate startUpdate)> showFirmwarePrompt;
  // The Off-line mode dialog over the settings; true when it ended with OK.
  std::function<bool(OfflineSettings& settings, uint32_t highestStartAddress)> editOfflineSettings;
  // The Form list dialog, modal, showing the form; its "Load *.KPJ" builds
  // another project's form with render (false: the form text stays).
  using FormRenderer = std::function<bool(const std::string& projectPath, std::u16string& form)>;
  std::function<void(const std::u16string& form, FormRenderer render)> showFormList;
  // Every progress event of the adapter operations, beside the window's bar
  // (the command line prints them as JSON lines); may be unset.
  std::function<void(const OperationProgress& progress)> progressEvents;
};

class MainWindowHost final : public CodeFileHost, public AdapterOperationsHost {
 public:
  MainWindowHost(MainDialog& dialog, EventLoopPort& loop, HidTransportPort& hid, OperationViews views,
                       FirmwareUpdateTimings timings = {});
  // Waits for a running firmware update to end before the dialog goes.
  ~MainWindowHost() override;
  MainWindowHost(const MainWindowHost&) = delete;
  MainWindowHost& operator=(const MainWindowHost&) = delete;

  // Fills the main dialog's hooks; call before the dialog initialises.
  void install();

  // The adapter operations, bound to the Link library the dialog bound at
  // initialisation (created on first use).
  AdapterOperations& adapter();

  // CodeFileHost
  AppContext& context() override;
  DialogPort& dialog() override;
  HexViewPort& hexView() override;
  CodeFileState& codeFiles() override;
  void selectSeriesAndPart(uint16_t partIndex) override;
  void selectPartEntry(uint16_t partIndex) override;
  void choosePartForced() override;
  void showProjectOptionBytes() override;
  // Both hosts ask for the one job: the check boxes into the option bytes.
  void readOptionCheckBoxes() override;
  std::optional<LoadArea> askLoadArea(uint32_t proposedAddress) override;
  std::optional<RequestAddressing> askRequestAddressing() override;
  void showRequestForm(const std::string& projectPath) override;

  // What the request form takes from the main dialog now: the request
  // addressing, the part list, the selected part, option box 1026.
  FormSources requestFormSources();

  // AdapterOperationsHost
  void setStatusLine(const std::string& text) override;
  std::string loadedFilePath() const override;
  std::string statusLine() const override;
  void reportProgress(const OperationProgress& progress) override;
  void showTargetImage(std::span<const uint8_t> image, const std::string& statusText) override;
  void setUpdateProgrammerEnabled(bool enabled) override;
  OfflineSettings& offlineSettings() override;
  bool editOfflineSettings(uint32_t highestStartAddress) override;
  void showFirmwarePrompt(int mode) override;
  void repaint() override;
  bool deviceNotificationsRegistered() const override;
  void setOperationRunning(bool running) override;

 private:
  MainDialog& main_;
  EventLoopPort& loop_;
  HidTransportPort& hid_;
  OperationViews views_;
  FirmwareUpdateTimings timings_;
  std::unique_ptr<AdapterOperations> adapter_;
  ProgressBarView bar_;
};

}  // namespace lw
