#pragma once
// The main window's logic: initialisation, the part and option-bit
// controls, the status fields, the progress bar, messages, and the
// dispatch of the user's commands. It reaches the window only through
// DialogPort (controls by id), HexViewPort (the Code buffer), TimerPort and
// ProgressPaintPort, so it runs headless in tests and behind the Qt view in
// the program.
//
// The operations behind the big buttons live elsewhere and plug in through
// `hooks` (see Hooks below). Those operations use the public services of
// this class (option bytes, status line, progress, messages, the Link
// binding, the busy flag, the last loaded path).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/context/app_context.h"
#include "image/code_file_host.h"
#include "link/link_api.h"
#include "core/ids/language_keys.h"
#include "core/ids/main_dialog_ids.h"
#include "ui/main/lockable_controls.h"
#include "ui/main/option_layouts.h"

namespace lw {

class DeviceWatchPort;
class DialogPort;
class EventLoopPort;
class HexViewPort;
class ProgressPaintPort;
class TimerPort;

struct MainDialogPorts {
  DialogPort* dialog = nullptr;            // required
  HexViewPort* hexView = nullptr;          // required
  TimerPort* timers = nullptr;             // required
  ProgressPaintPort* progress = nullptr;   // null: progress is not drawn
  EventLoopPort* eventLoop = nullptr;      // carries post() to the UI thread
  DeviceWatchPort* deviceWatch = nullptr;  // null: this build watches no devices
};

// Time the firmware-update worker waits for the adapter in update mode to
// leave the bus after its restart.
inline constexpr int kAdapterLeaveTimeoutMs = 20000;

class MainDialog {
 public:
  // Operations carried out by other parts of the program. Every hook is
  // optional; an unset hook makes its command do nothing. All are called on
  // the UI thread.
  struct Hooks {
    // Button 1013 "Load File": ask for a file (and its area) and load it.
    std::function<void()> loadFile;
    // Button 1018 "Save *.KPJ".
    std::function<void()> saveProject;
    // Button 1016 "Update Target".
    std::function<void()> updateTarget;
    // Button 1017 "Update Programmer".
    std::function<void()> updateProgrammer;
    // The last step of initialisation: loads the file named on the command
    // line, when there is one, at offset 0 without asking for the area.
    std::function<void()> loadCommandLineFile;
    // The window became active: reloads the last loaded file when "Auto
    // Reload Code" is checked.
    std::function<void()> activated;
    // Timer 1, once, about 200 ms after the window opened: the start-up
    // adapter probe.
    std::function<void()> startupProbe;
    // A HID device interface arrived (true) or left (false).
    std::function<void(bool arrived, const std::string& interfacePath)> deviceChanged;
    // Posted message 0x8001 from the firmware-update prompt: start the
    // update worker for the prompt window given.
    std::function<void(uintptr_t promptWindow)> startFirmwareUpdate;
    // A part was applied: reset the project record to its defaults.
    std::function<void()> partApplied;
    // Window menu: show the About box (a view; see aboutText()).
    std::function<void()> showAbout;
    // Window menu: the target operations beside Update Target.
    std::function<void()> readTarget;
    std::function<void()> verifyTarget;
    std::function<void()> eraseTarget;
    std::function<void()> blankCheck;
  };
  Hooks hooks;

  MainDialog(AppContext& ctx, const MainDialogPorts& ports);
  ~MainDialog();
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Runs the whole initialisation once the window's controls exist.
  void initialise();

  // ---- Events from the view ------------------------------------------
  // A control's command: id and notification code (notify::...).
  void onCommand(int id, int code = notify::kClicked);
  // A window-menu command (syscmd::...; the low 4 bits are ignored).
  void onSystemCommand(unsigned command);
  void onTimer(int id);
  // The window became active (not on deactivation).
  void onActivated();
  // The window's close box: reads and saves the choice, then ends through
  // the Exit path.
  void onCloseRequest();
  // Private messages 0x8001..0x8005 (postmsg::...), on the UI thread.
  void onPrivateMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);
  // Posts a private message to the UI thread. Safe from any thread.
  void post(unsigned msg, uintptr_t wParam, intptr_t lParam);

  // ---- Part choice and option bits -----------------------------------
  void listSeries();
  void listParts();
  // Applies the selected part unless it is the applied one already.
  void choosePart();
  // Fills the Part record from the part's descriptor and resets the
  // project record (hooks.partApplied).
  void applyPart(uint16_t partIndex);
  // Binds the option boxes to the applied part's option-bit records.
  void setupCheckBoxes(bool uncheck);
  // Option byte buffer -> check boxes and the IWDG counter field.
  void showOptionBytes();
  // Check boxes and the IWDG counter field -> Option byte buffer.
  void readOptionCheckBoxes();
  const OptionBoxStates& optionBoxes() const { return boxes_; }

  // ---- Status line, messages, progress -------------------------------
  // Asks the hex view for checksum and size, keeps both in the Part record
  // and shows them.
  void refreshSizeAndChecksum();
  void setStatusText(const std::string& text);
  void setStatusTextByKey(uint16_t key);
  // The status line shows the last loaded file's path again.
  void showLastLoadedPath();
  // 0..100 draws the bar, a negative value removes it. The bar's word is
  // the language table's text of wordKey ("Completed ...40%").
  void drawProgress(int value, uint16_t wordKey = textkey::kCompleted);
  // A box whose caption and text come from the language table; style is
  // an icon (mb::kIconError, kIconWarning, kIconInformation) with OK.
  // Shows nothing and returns 0 when either text is missing.
  int messageByKeys(uint16_t captionKey, uint16_t textKey, unsigned style);
  void addTooltip(int id, const std::string& text);
  // The language table's text for a key, or "" when it has none.
  std::string text(uint16_t key) const;
  // The About box's text line (control 1085) and title.
  std::string aboutText() const;
  std::string aboutTitle() const { return text(textkey::kAboutTitle); }
  // The window menu's entries that start target operations, in menu order,
  // with their texts from the Language table.
  struct MenuEntry {
    unsigned command;
    std::string text;
  };
  std::vector<MenuEntry> targetMenuEntries() const;

  // ---- The window menu and the language ----------------------------------
  struct WindowMenuTexts {
    std::string checkUpdate, about, language;
    // The languages offered, by Language index, each under its own name.
    std::vector<std::pair<uint16_t, std::string>> languages;
    uint16_t languageInUse = 0;
  };
  WindowMenuTexts windowMenuTexts() const;
  // The window menu's choice of language: stored in the settings, and every
  // text of the window follows at once (the status line says so). Refused
  // while an operation runs, like the rest of the menu; false when refused
  // or when the language has no table.
  bool chooseLanguage(uint16_t languageIndex);

  // ---- State shared with the operations -------------------------------
  AppContext& context() { return ctx_; }
  DialogPort& dialog() { return dialog_; }
  HexViewPort& hexView() { return hexView_; }
  const LinkApi& link() const { return link_; }
  // The project record, the last loaded file, the load offset and the
  // request addressing.
  CodeFileState& codeFiles() { return codeFiles_; }
  const std::string& lastLoadedPath() const { return codeFiles_.lastLoadedPath; }
  // The adapter cannot hold an image: "Update Programmer" stays disabled.
  void disableUpdateProgrammer();
  int adapterLeaveTimeoutMs() const { return adapterLeaveTimeoutMs_; }
  // Whether device arrival and removal notifications are being delivered.
  bool watchingDevices() const { return watching_; }

  // ---- Operations that talk to the adapter ------------------------------
  // While one runs (the calls nest), the window repaints but takes no
  // command that would start a dialog or change the job: those controls
  // and the window menu are disabled, their commands are refused, window
  // activation reloads nothing and the start-up probe waits for the end.
  // Closing the window still ends the operation.
  void beginOperation() { dialog_.lock(); }
  void endOperation() { dialog_.unlock(); }
  bool operationRunning() const { return dialog_.locked(); }

 private:
  // The title, the captions and the menu button's tooltip.
  void setCaptions();
  // ... and the option boxes' tooltips and the size and checksum fields.
  void applyTexts();
  void initialChoice();
  void saveChoice();
  void endWithCancel();
  OptionBoxStates currentBoxStates() const;

  AppContext& ctx_;
  LockableControls dialog_;
  HexViewPort& hexView_;
  TimerPort& timers_;
  ProgressPaintPort* progress_;
  EventLoopPort* eventLoop_;
  DeviceWatchPort* deviceWatch_;

  LinkApi link_;
  OptionBoxStates boxes_{};
  bool watching_ = false;
  CodeFileState codeFiles_;
  int adapterLeaveTimeoutMs_ = 0;
  // Posted calls check this before touching the dialog, so a message that
  // arrives after the window is gone is dropped.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace lw
