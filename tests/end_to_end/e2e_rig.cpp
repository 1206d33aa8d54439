#include "tests/end_to_end/e2e_rig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "core/codes.h"
#include "core/text.h"
#include "platform/hid_link/hid_device_watch.h"
#include "platform/hid/hid_api.h"
#include "platform/posix/posix_modules.h"
#include "resources/embedded_resources.h"
#include "resources/language.h"
#include "tests/main_window/test_support.h"
#include "ui/dialogs/area_dialog.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"

namespace lw::e2e {

// ---- FastClock ---------------------------------------------------------------

uint32_t FastClock::tickCountMs() {
  const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
  return static_cast<uint32_t>(static_cast<uint64_t>(real.count()) + slept_.load());
}

void FastClock::sleepMs(uint32_t ms) {
  if (onSleep) onSleep(ms);
  slept_ += ms;
  if (divisor_ != 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms / divisor_));
}

// ---- QuickAnswerTransport ------------------------------------------------------

uint32_t QuickAnswerTransport::readInput(uint32_t h, uint8_t* r, std::size_t n, uint32_t timeoutMs) {
  uint32_t longest = longestWaitAsked.load();
  while (timeoutMs > longest && !longestWaitAsked.compare_exchange_weak(longest, timeoutMs)) {
  }
  const uint32_t result = real_.readInput(h, r, n, std::min(timeoutMs, capMs_));
  if (result == err::kWaitTimeout) ++timeOuts;
  return result;
}

// ---- ScriptedFileDialogs -------------------------------------------------------

std::optional<std::string> ScriptedFileDialogs::openFile(const std::string& initialPath,
                                                         const std::vector<FileFilter>& filters) {
  openStartPaths.push_back(initialPath);
  filterCounts.push_back(filters.size());
  if (openAnswers.empty()) return std::nullopt;
  std::string path = openAnswers.front();
  openAnswers.pop_front();
  return path;
}

// ---- Helpers -----------------------------------------------------------------

ModuleHandle linkLibraryModule() {
  static PosixModules modules;
  static ModuleHandle module = [] {
    uint32_t error = 0;
    ModuleHandle m = modules.load(std::string(LW_BIN_DIR) + "/libV0Izaz_Tether.so", error);
    if (!m) ADD_FAILURE() << "cannot load the Link library, error " << error;
    return m;
  }();
  return module;
}

ModulePort& programModules() {
  static PosixModules modules;
  return modules;
}

std::string writeFile(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  const auto path = dir / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

std::string writeTextFile(const TempDir& dir, const std::string& name, const std::string& text) {
  return writeFile(dir, name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string intelHex(const std::vector<uint8_t>& bytes, uint16_t address) {
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    const std::size_t n = std::min<std::size_t>(16, bytes.size() - at);
    const uint32_t a = address + static_cast<uint32_t>(at);
    unsigned sum = static_cast<unsigned>(n) + ((a >> 8) & 0xFF) + (a & 0xFF);
    out += format(":%02X%04X00", static_cast<unsigned>(n), a & 0xFFFF);
    for (std::size_t i = 0; i < n; ++i) {
      out += format("%02X", bytes[at + i]);
      sum += bytes[at + i];
    }
    out += format("%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
  }
  out += ":00000001FF\r\n";
  return out;
}

std::vector<uint8_t> patternBytes(std::size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>((i * 7 + (i >> 8) * 3 + seed) % 251);
  return v;
}

WindowContext::WindowContext(FileDialogPort& files, ClockPort& clock, bool withLinkLibrary)
    : modules(std::make_unique<PosixModules>()) {
  ctx.resources = &embeddedResources();
  ctx.ports.messages = &messages;
  ctx.ports.settings = &settings;
  ctx.ports.files = &files;
  ctx.ports.clock = &clock;
  ctx.ports.modules = modules.get();
  ctx.state.applicationName = "loomwrite";
  ctx.state.hexViewLibrary = modules->load(std::string(LW_BIN_DIR) + "/libHexEdit.so", loadError);
  if (withLinkLibrary) ctx.state.linkLibrary = linkLibraryModule();
}

WindowContext::~WindowContext() {
  if (ctx.state.hexViewLibrary) modules->unload(ctx.state.hexViewLibrary);
}

// ---- The rig -------------------------------------------------------------------

EndToEndRig::EndToEndRig(RigOptions options) : clock(options.clockRealDivisor) {
  if (!options.adapterIni.empty()) dir.write("adapter.ini", options.adapterIni);
  if (!options.targetIni.empty()) dir.write("target.ini", options.targetIni);
  if (!options.faultsIni.empty()) dir.write("faults.ini", options.faultsIni);
  EXPECT_EQ(lw_hid_select_backend(("emulator:" + dir.path().string()).c_str()), 0u);

  ctx.resources = &embeddedResources();
  ctx.ports.messages = &messages;
  ctx.ports.settings = &settings;
  ctx.ports.files = &files;
  ctx.ports.clock = &clock;
  ctx.ports.modules = &programModules();
  ctx.state.applicationName = "loomwrite";
  ctx.state.linkLibrary = linkLibraryModule();

  declareMainDialogControls(dialog);
  if (options.watchDevices) watch = std::make_unique<HidDeviceWatch>(loop);

  MainDialogPorts ports;
  ports.dialog = &dialog;
  ports.hexView = &hexView;
  ports.timers = &timers;
  ports.progress = &progress;
  ports.eventLoop = &loop;
  ports.deviceWatch = watch.get();
  main = std::make_unique<MainDialog>(ctx, ports);
  hexView.setNotify([this](int id, int code) { main->onCommand(id, code); });

  OperationViews views;
  views.askLoadArea = [this](uint32_t proposed) { return answerArea(proposed); };
  views.askRequestAddressing = [] { return std::optional<RequestAddressing>{}; };
  views.showFirmwarePrompt = [this](int mode, OperationViews::StartUpdate start) { runPrompt(mode, start); };
  operations = std::make_unique<MainWindowHost>(*main, loop, transport, std::move(views));
  operations->install();
  main->initialise();
}

EndToEndRig::~EndToEndRig() {
  operations.reset();  // waits for a firmware update still running
  main.reset();
  watch.reset();
  if (auto disconnect = reinterpret_cast<int (*)()>(programModules().symbol(ctx.state.linkLibrary, "DisconnectHIDDevice")))
    disconnect();
  lw_hid_select_backend("usb");
}

std::vector<uint8_t> EndToEndRig::optionBytes() const {
  std::istringstream in(dir.read("target-options.txt"));
  std::vector<uint8_t> bytes;
  std::string word;
  while (in >> word) bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
  return bytes;
}

std::string EndToEndRig::adapterSetting(const std::string& key) const {
  std::istringstream in(dir.read("adapter.ini"));
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos || line[0] == '#' || line[0] == ';') continue;
    std::string k = line.substr(0, eq), v = line.substr(eq + 1);
    auto trim = [](std::string& s) {
      s.erase(0, s.find_first_not_of(" \t"));
      s.erase(s.find_last_not_of(" \t\r") + 1);
    };
    trim(k);
    trim(v);
    if (k == key) return v;
  }
  return {};
}

void EndToEndRig::click(int id) { main->onCommand(id, notify::kClicked); }

void EndToEndRig::setOptionBox(int index, bool checked) {
  const int id = mainid::kFirstOptionBox + index;
  dialog.setChecked(id, checked);
  click(id);
}

void EndToEndRig::loadFile(const std::string& path, const AreaChoice& area) {
  files.openAnswers.push_back(path);
  areaAnswers.push_back(area);
  click(mainid::kLoadFile);
}

void EndToEndRig::updateTarget() { click(mainid::kUpdateTarget); }

bool EndToEndRig::pumpUntil(const std::function<bool()>& pred, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    loop.runPending();
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool EndToEndRig::pumpUntilAdapterIs(uint16_t productId, int timeoutMs) {
  return pumpUntil(
      [productId] {
        lw_hid_device_info info{};
        return lw_hid_enumerate(&info, 1) == 1 && info.product_id == productId;
      },
      timeoutMs);
}

std::vector<std::string> EndToEndRig::boxTexts() const {
  std::vector<std::string> texts;
  for (const ShownBox& b : messages.shown) texts.push_back(b.text);
  return texts;
}

std::vector<ShownBox> EndToEndRig::takeBoxes() {
  std::vector<ShownBox> boxes(messages.shown.begin() + static_cast<std::ptrdiff_t>(boxesTaken_), messages.shown.end());
  boxesTaken_ = messages.shown.size();
  return boxes;
}

std::string EndToEndRig::statusLine() const { return dialog.text(mainid::kStatusLine); }

bool EndToEndRig::adapterOpen() const { return main->link().openHandle() != 0; }

// The "Select AP/IAP area" dialog's own logic, clicked as the script says.
std::optional<LoadArea> EndToEndRig::answerArea(uint32_t proposed) {
  areaProposals.push_back(proposed);
  MemoryDialog d;
  declareAreaDialogControls(d);
  AreaDialog area(*ctx.resources, ctx.state.languageIndex, proposed);
  area.onInit(d);
  if (areaAnswers.empty()) {
    area.onCommand(d, areadlg::kCancel);
    return std::nullopt;
  }
  const AreaChoice choice = areaAnswers.front();
  areaAnswers.pop_front();
  if (choice.iapAddress) {
    d.setChecked(areadlg::kApRadio, false);
    d.setChecked(areadlg::kIapRadio, true);
    area.onCommand(d, areadlg::kIapRadio);
    d.typeText(areadlg::kAddressField, *choice.iapAddress);
  }
  if (!choice.clearBuffer) {
    d.setChecked(areadlg::kClearBuffer, false);
    area.onCommand(d, areadlg::kClearBuffer);
  }
  area.onCommand(d, choice.cancel ? areadlg::kCancel : areadlg::kOk);
  if (d.endResult != areadlg::kOk) return std::nullopt;
  return area.result();
}

namespace {

// The prompt's window as a test sees it: posted calls go through the
// UI thread's loop, as the Qt view queues them.
class HeadlessPromptHost final : public FirmwarePromptHost {
 public:
  HeadlessPromptHost(const AppContext& ctx, ManualEventLoop& loop, OperationViews::StartUpdate start,
                     PromptRun& run)
      : ctx_(ctx), loop_(loop), start_(std::move(start)), run_(run) {}

  std::string languageText(uint16_t key) override {
    return lw::languageText(*ctx_.resources, ctx_.state.languageIndex, key).value_or("");
  }
  void postStartUpdate(std::function<void()> downloadEnded) override {
    PromptRun* run = &run_;
    auto ended = [run, downloadEnded = std::move(downloadEnded)] {
      run->downloadEnded = true;
      downloadEnded();
    };
    loop_.post([start = start_, ended] { start(ended); });
  }
  void postCloseMainWindow() override { run_.askedMainWindowToClose = true; }
  void postCloseSelf() override {
    loop_.post([weak = std::weak_ptr<FirmwarePrompt>(prompt), run = &run_] {
      if (auto p = weak.lock()) {
        run->closedItself = true;
        p->onCloseRequest();
      }
    });
  }
  void invalidateSign() override {}
  void updateNow() override {}

  std::shared_ptr<FirmwarePrompt> prompt;

 private:
  const AppContext& ctx_;
  ManualEventLoop& loop_;
  OperationViews::StartUpdate start_;
  PromptRun& run_;
};

}  // namespace

// The firmware-update prompt's own logic, modal: after OK it runs the UI
// thread's loop and the prompt's timers until the prompt closes itself.
void EndToEndRig::runPrompt(int mode, const OperationViews::StartUpdate& startUpdate) {
  // Kept in a deque: calls posted by this prompt may still refer to it.
  prompts.emplace_back();
  PromptRun& run = prompts.back();
  run.mode = mode;

  MemoryDialog d;
  for (int id : {prompt::kOk, prompt::kCancel}) d.addControl(id, MemoryControlKind::Button);
  for (int id : {prompt::kMessage, prompt::kTitle, prompt::kFinishedSign}) d.addControl(id, MemoryControlKind::Static);
  MemoryTimers promptTimers;
  HeadlessPromptHost host(ctx, loop, startUpdate, run);
  host.prompt = std::make_shared<FirmwarePrompt>(d, promptTimers, host, animation_, mode);
  FirmwarePrompt& p = *host.prompt;
  p.onInit();
  run.message = d.text(prompt::kMessage);

  const PromptAnswer answer = promptAnswers.empty() ? PromptAnswer::Cancel : promptAnswers.front();
  if (!promptAnswers.empty()) promptAnswers.pop_front();
  if (answer == PromptAnswer::Cancel) {
    p.onCancel();
    return;
  }

  p.onOk();
  run.pressedOk = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!d.endResult) {
    if (std::chrono::steady_clock::now() >= deadline) {
      run.timedOut = true;
      break;
    }
    loop.runPending();
    if (promptTimers.running.count(prompt::kCloseTimer)) {
      p.onTimer(prompt::kCloseTimer);
    } else if (promptTimers.running.count(prompt::kAnimationTimer)) {
      p.onTimer(prompt::kAnimationTimer);
      ++run.animationTicks;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  run.finishedSignShown = d.isVisible(prompt::kFinishedSign);
}

}  // namespace lw::e2e
