#pragma once
// The assembled program logic, headless, against the adapter emulator: the
// main dialog with the operations behind its buttons, the real Link library
// module, the HID layer's emulator backend in a fresh directory, and the
// HID device watch. Dialogs the operations open are answered from scripts;
// message boxes are recorded.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/context/app_context.h"
#include "link/hid_transport_port.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/memory/memory_main_dialog.h"
#include "platform/memory/memory_hex_view.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/memory_window_services.h"
#include "platform/memory/recording_message_boxes.h"
#include "core/ports/clock_port.h"
#include "core/ports/file_dialog_port.h"
#include "tests/adapter/temp_dir.h"
#include "ui/dialogs/firmware_prompt.h"
#include "ui/main/main_window_host.h"

namespace lw {
class HidDeviceWatch;
class MainDialog;
}  // namespace lw

namespace lw::e2e {

using test::TempDir;

// Ticks follow real time plus whatever the program slept. Sleeping returns
// at once, or, with a divisor, after that fraction of the time: an emulated
// adapter keeps real time, so a firmware update needs a little real time
// for the adapter to come back in its next mode.
class FastClock final : public ClockPort {
 public:
  explicit FastClock(uint32_t realDivisor = 0) : divisor_(realDivisor) {}
  uint32_t tickCountMs() override;
  void sleepMs(uint32_t ms) override;
  std::time_t calendarSeconds() override { return 1700000000 + static_cast<std::time_t>(tickCountMs() / 1000); }
  LocalTime localTime() override { return {2024, 1, 1, 12, 0, 0}; }

  uint64_t sleptMs() const { return slept_.load(); }
  // Called on the sleeping thread before each sleep.
  std::function<void(uint32_t ms)> onSleep;

 private:
  const uint32_t divisor_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::atomic<uint64_t> slept_{0};
};

// The HID layer with the answer wait shortened: the program asks for
// 4,000 ms, which the emulator never needs unless an answer is withheld.
class QuickAnswerTransport final : public HidTransportPort {
 public:
  explicit QuickAnswerTransport(uint32_t capMs) : capMs_(capMs) {}
  uint32_t setFeature(uint32_t h, const uint8_t* r, std::size_t n) override { return real_.setFeature(h, r, n); }
  uint32_t getFeature(uint32_t h, uint8_t* r, std::size_t n) override { return real_.getFeature(h, r, n); }
  uint32_t readInput(uint32_t h, uint8_t* r, std::size_t n, uint32_t timeoutMs) override;
  void cancelIo(uint32_t h) override { real_.cancelIo(h); }
  uint32_t writeOutput(uint32_t h, const uint8_t* r, std::size_t n) override { return real_.writeOutput(h, r, n); }

  std::atomic<uint32_t> longestWaitAsked{0};
  std::atomic<int> timeOuts{0};

 private:
  LwHidTransport real_;
  const uint32_t capMs_;
};

// Answers of the platform's file dialogs, in order; a dialog without an
// answer is cancelled.
class ScriptedFileDialogs final : public FileDialogPort {
 public:
  std::optional<std::string> openFile(const std::string& initialPath, const std::vector<FileFilter>& filters) override;
  std::optional<std::string> saveFile(const std::string&, const std::vector<FileFilter>&, const std::string&) override {
    ++saveCalls;
    return std::nullopt;
  }
  int saveCalls = 0;
  std::deque<std::string> openAnswers;
  std::vector<std::string> openStartPaths;
  std::vector<std::size_t> filterCounts;
};

// What the user does in the "Select AP/IAP area" dialog.
struct AreaChoice {
  std::optional<std::string> iapAddress;  // typed into the field; none: AP
  bool clearBuffer = true;
  bool cancel = false;
  static AreaChoice ap(bool clear = true) { return {std::nullopt, clear, false}; }
  static AreaChoice iap(const std::string& hex, bool clear = true) { return {hex, clear, false}; }
};

// One firmware-update prompt as it was shown and ended.
struct PromptRun {
  int mode = -1;
  std::string message;            // control 1089 at opening
  bool pressedOk = false;
  bool downloadEnded = false;     // the worker's end-of-download reached the prompt
  bool finishedSignShown = false;
  bool closedItself = false;      // timer 2 closed it after the end
  bool askedMainWindowToClose = false;
  int animationTicks = 0;
  bool timedOut = false;
};

enum class PromptAnswer { Ok, Cancel };

struct RigOptions {
  std::string adapterIni = "reenumerate_ms = 50\n";
  std::string targetIni;   // empty: the emulator's first-day target
  std::string faultsIni;   // empty: no faults
  uint32_t clockRealDivisor = 0;
  bool watchDevices = true;  // the real HID device watch; else none
};

class EndToEndRig {
 public:
  explicit EndToEndRig(RigOptions options = {});
  ~EndToEndRig();
  EndToEndRig(const EndToEndRig&) = delete;
  EndToEndRig& operator=(const EndToEndRig&) = delete;

  // ---- The emulator's state directory --------------------------------
  TempDir dir;
  void writeFaults(const std::string& text) { dir.write("faults.ini", text); }
  std::vector<uint8_t> flash() const { return dir.readBytes("target-flash.bin"); }
  // target-options.txt read back as bytes.
  std::vector<uint8_t> optionBytes() const;
  // A key of adapter.ini, as the emulator last wrote it.
  std::string adapterSetting(const std::string& key) const;

  // ---- The user ----------------------------------------------------------
  void click(int id);
  // Checks or unchecks an option box as a click would.
  void setOptionBox(int index, bool checked);
  // Load File with the file dialog answering `path` and the area dialog
  // answered by `area`.
  void loadFile(const std::string& path, const AreaChoice& area);
  void updateTarget();
  // Runs posted calls until pred holds or the time is up (real time).
  bool pumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000);
  // Runs posted calls until the emulated adapter is on the bus with the
  // product id.
  bool pumpUntilAdapterIs(uint16_t productId, int timeoutMs = 5000);

  // ---- What the user saw -----------------------------------------------
  std::vector<std::string> boxTexts() const;
  // The boxes shown since the last call.
  std::vector<ShownBox> takeBoxes();
  std::string statusLine() const;
  bool adapterOpen() const;  // the Link library holds an open device

  // Scripts for the operations' dialogs.
  std::deque<AreaChoice> areaAnswers;
  std::vector<uint32_t> areaProposals;
  std::deque<PromptAnswer> promptAnswers;  // none left: Cancel
  std::deque<PromptRun> prompts;

  FastClock clock;
  ManualEventLoop loop;
  RecordingMessageBoxes messages;
  MemorySettings settings;
  ScriptedFileDialogs files;
  QuickAnswerTransport transport{1500};
  MemoryDialog dialog;
  MemoryHexView hexView;
  MemoryTimers timers;
  RecordingProgressPainter progress;
  AppContext ctx;
  std::unique_ptr<HidDeviceWatch> watch;
  std::unique_ptr<MainDialog> main;
  std::unique_ptr<MainWindowHost> operations;

 private:
  std::optional<LoadArea> answerArea(uint32_t proposed);
  void runPrompt(int mode, const OperationViews::StartUpdate& startUpdate);

  PromptAnimation animation_;
  std::size_t boxesTaken_ = 0;
};

// The Link library module, loaded once per process as the program loads it.
ModuleHandle linkLibraryModule();

// The context of the running program's Qt window in a test: recorded
// message boxes, in-memory settings, the given file dialogs and clock, and
// the hex view module loaded from the build (hexViewLoaded() says whether it
// was), with the Link library module when asked for.
struct WindowContext {
  WindowContext(FileDialogPort& files, ClockPort& clock, bool withLinkLibrary = true);
  ~WindowContext();
  WindowContext(const WindowContext&) = delete;
  WindowContext& operator=(const WindowContext&) = delete;
  bool hexViewLoaded() const { return ctx.state.hexViewLibrary != nullptr; }

  RecordingMessageBoxes messages;
  MemorySettings settings;
  std::unique_ptr<ModulePort> modules;
  AppContext ctx;
  uint32_t loadError = 0;
};

// Writes a file under dir and returns its path.
std::string writeFile(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes);
std::string writeTextFile(const TempDir& dir, const std::string& name, const std::string& text);

// Intel HEX text of the bytes at the address (data records of 16 bytes, an
// end-of-file record).
std::string intelHex(const std::vector<uint8_t>& bytes, uint16_t address = 0);

// n bytes of a pattern that differs from erased flash and from a shifted copy
// of itself, so that misplaced bytes show.
std::vector<uint8_t> patternBytes(std::size_t n, uint8_t seed = 0);

}  // namespace lw::e2e
