#pragma once
// One run of the command-line tool: the program's main dialog and the
// operations behind its buttons, exactly as the window runs them, with the
// window's controls held in memory and every view in console form:
// message boxes become "CAPTION: TEXT" lines, the area dialog answers what
// --at and --merge said, the save dialog answers the path given, the
// firmware-update prompt is a question answered by --yes, and the progress
// bar is drawn on standard error.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/context/app_context.h"
#include "core/offline_settings.h"
#include "cli/cli_options.h"
#include "cli/console_event_loop.h"
#include "cli/console_message_boxes.h"
#include "cli/console_progress.h"
#include "cli/progress_json_lines.h"
#include "image/load_area.h"
#include "image/request_addressing.h"
#include "platform/memory/memory_dialog.h"
#include "platform/memory/memory_hex_view.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/memory_window_services.h"
#include "core/ports/file_dialog_port.h"
#include "platform/posix/posix_modules.h"

namespace lw {
class ClockPort;
class HidTransportPort;
class LwHidTransport;
class MainDialog;
class MainWindowHost;
}  // namespace lw

namespace lw::cli {

// The save dialog answers with the path the command line gave; nothing
// else asks for a file.
class ConsoleFileDialogs final : public FileDialogPort {
 public:
  std::optional<std::string> openFile(const std::string&, const std::vector<FileFilter>&) override {
    return std::nullopt;
  }
  std::optional<std::string> saveFile(const std::string&, const std::vector<FileFilter>&,
                                      const std::string&) override {
    return savePath.empty() ? std::nullopt : std::optional<std::string>(savePath);
  }
  std::string savePath;
};


// The Link library's file beside the running program.
std::string programPath();

struct SessionSetup {
  bool yes = false;
  uint16_t languageIndex = 0;        // the Language table of the message lines
  ProgressStyle progress = ProgressStyle::None;
  ClockPort* clock = nullptr;        // null: the system clock
  HidTransportPort* hid = nullptr;   // null: the HID layer's transport
  std::FILE* messageOut = stderr;    // where the message lines go
  std::FILE* progressJson = nullptr; // --json --progress: where the progress events go as JSON lines
};

// How the firmware-update prompt ended.
enum class PromptOutcome { NotShown, Cancelled, UpdateRan, UpdateUnfinished };

class ConsoleSession {
 public:
  explicit ConsoleSession(const SessionSetup& setup);
  ~ConsoleSession();
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;

  // Finds, version-checks and loads the Link library beside the program.
  // False when it could not be loaded; a box has said why.
  bool loadLinkLibrary();

  // Initialises the main dialog with the part name searched as the
  // program's command-line part name is. False when a name was given and
  // no part matched it (the first part is then applied, as in the window).
  bool open(const std::string& partName);

  // Loads one file as "Load File" does, the area dialog answering from
  // --at (IAP at that address, else AP) and --merge ("Clear Buffer"
  // unchecked). Returns the loader's result; a file that cannot be opened
  // is reported here, since the loader passes over it in silence.
  int load(const InputFile& file);
  // Why the last load failed when no box said it ("PATH: no such file"...).
  const std::string& loadError() const { return loadError_; }

  // Applies option settings to the check boxes and the IWDG counter field
  // as a user would set them. Returns an empty text, or what was wrong
  // with them (a usage error).
  std::string applyOptions(const OptionSettings& settings);

  // Waits until a firmware update started from the prompt has reported its
  // result (or the time ran out).
  bool settleFirmwareUpdate(int timeoutMs);

  // ---- What the window shows --------------------------------------------
  std::vector<uint8_t> codeBuffer();
  // The size and checksum fields as the window shows them after the
  // content changed ("Size = 452 Bytes", "Checksum = 0x1A2B").
  std::string sizeText();
  std::string checksumText();
  // The selected part's name in the part list.
  std::string partName() const;
  std::vector<std::string> partNames() const;
  // The applied part's option bytes, after the boxes have been read.
  std::vector<uint8_t> optionBytes();
  // The option box captions of the applied part (enabled boxes only).
  std::vector<std::string> optionNames() const;
  std::string languageText(uint16_t key) const;

  // Answers the Off-line mode dialog (program-adapter sets it); unset, the
  // dialog counts as cancelled.
  std::function<bool(OfflineSettings& settings, uint32_t highestStartAddress)> offlineDialog;
  // The KPJ Dialog's answer (nothing: Cancel), and the form that Save
  // *.KPJ then handed to the Form list dialog.
  std::optional<RequestAddressing> kpjDialogAnswer;
  std::optional<std::u16string> shownForm;

  PromptOutcome promptOutcome() const { return promptOutcome_; }
  int promptMode() const { return promptMode_; }

  AppContext& context() { return ctx_; }
  MainDialog& main() { return *main_; }
  MainWindowHost& operations() { return *operations_; }
  ConsoleMessageBoxes& messages() { return messages_; }
  MemoryDialog& dialog() { return dialog_; }
  ConsoleEventLoop& loop() { return loop_; }
  ConsoleFileDialogs& files() { return files_; }
  ConsoleProgress& progress() { return progress_; }

 private:
  void showFirmwarePrompt(int mode, const std::function<void(std::function<void()>)>& startUpdate);

  SessionSetup setup_;
  ConsoleMessageBoxes messages_;
  ConsoleProgress progress_;
  std::optional<ProgressJsonLines> progressJson_;
  ConsoleFileDialogs files_;
  MemorySettings settings_;
  PosixModules modules_;
  AppContext ctx_;
  ConsoleEventLoop loop_;
  MemoryDialog dialog_;
  MemoryHexView hexView_;
  MemoryTimers timers_;
  std::unique_ptr<LwHidTransport> hid_;
  std::unique_ptr<MainDialog> main_;
  std::unique_ptr<MainWindowHost> operations_;
  std::optional<LoadArea> nextArea_;
  std::string loadError_;
  PromptOutcome promptOutcome_ = PromptOutcome::NotShown;
  int promptMode_ = 0;
};

}  // namespace lw::cli
