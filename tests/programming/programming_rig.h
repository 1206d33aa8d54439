#pragma once
// The main dialog's side of the programming tests: a recording host, a hex
// view over a byte vector, an event loop whose posted calls the test runs,
// and a rig that wires them to a FakeAdapter and an AdapterOperations.
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/context/app_context.h"
#include "core/offline_settings.h"
#include "link/adapter_operations.h"
#include "link/adapter_operations_host.h"
#include "platform/memory/manual_clock.h"
#include "platform/memory/recording_message_boxes.h"
#include "core/ports/event_loop_port.h"
#include "core/ports/hex_view_port.h"
#include "resources/embedded_resources.h"
#include "resources/part_database.h"
#include "core/ids/language_keys.h"
#include "tests/programming/fake_adapter.h"
#include "ui/main/progress_bar_view.h"

namespace lw::test {

class FakeHexView final : public HexViewPort {
 public:
  std::vector<uint8_t> bytes;
  intptr_t send(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    if (msg != hexmsg::kData) return 0;
    if (wParam == 0) return static_cast<intptr_t>(bytes.size());
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(lParam)),
                reinterpret_cast<uint8_t*>(wParam));
    return 0;
  }
};

class FakeEventLoop final : public EventLoopPort {
 public:
  void post(std::function<void()> call) override {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(call));
  }
  bool dispatchPending() override {
    ++dispatches;
    if (onDispatch) onDispatch();
    runPosted();
    return !quitting;
  }
  // Runs every call posted so far (and those they post).
  void runPosted() {
    for (;;) {
      std::function<void()> call;
      {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return;
        call = std::move(queue_.front());
        queue_.pop_front();
      }
      call();
    }
  }
  // Runs posted calls until the condition holds; false after the time-out.
  bool runUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      for (;;) {
        std::function<void()> call;
        {
          std::lock_guard lock(mutex_);
          if (queue_.empty()) break;
          call = std::move(queue_.front());
          queue_.pop_front();
        }
        call();
        if (done()) return true;
      }
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  int dispatches = 0;
  bool quitting = false;
  std::function<void()> onDispatch;

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

class FakeHost final : public AdapterOperationsHost {
 public:
  void setStatusLine(const std::string& text) override { status.push_back(text); }
  std::string loadedFilePath() const override { return filePath; }
  std::string statusLine() const override { return currentStatus(); }
  // The events, and the values the window's bar draws from them: the
  // read-back's bar apart from the writes'.
  void reportProgress(const OperationProgress& e) override {
    events.push_back(e);
    bar.show(e, progressOffset ? *progressOffset : 0, [this](int value, uint16_t word) {
      (word == textkey::kCompleted ? progress : word == textkey::kVerifying ? verifyProgress : readProgress)
          .push_back(value);
    });
  }
  void showTargetImage(std::span<const uint8_t> image, const std::string& statusText) override {
    view.bytes.assign(image.begin(), image.end());
    filePath.clear();
    status.push_back(statusText);
  }
  HexViewPort& hexView() override { return view; }
  void readOptionCheckBoxes() override { ++optionReads; }
  void setUpdateProgrammerEnabled(bool enabled) override { updateProgrammerEnabled = enabled; }
  OfflineSettings& offlineSettings() override { return offline; }
  bool editOfflineSettings(uint32_t highestStartAddress) override {
    offlineDialogs.push_back(highestStartAddress);
    return onOfflineDialog ? onOfflineDialog(offline) : true;
  }
  void showFirmwarePrompt(int mode) override {
    prompts.push_back(mode);
    if (onPrompt) onPrompt(mode);
  }
  void repaint() override { ++repaints; }
  bool deviceNotificationsRegistered() const override { return registered; }
  void setOperationRunning(bool running) override { runningDepth += running ? 1 : -1; }

  std::string currentStatus() const { return status.empty() ? std::string() : status.back(); }

  std::string filePath = "/work/code/blink.hex";
  int runningDepth = 0;
  std::vector<std::string> status;
  std::vector<OperationProgress> events;
  ProgressBarView bar;
  const uint32_t* progressOffset = nullptr;  // the Part record's, once the rig set it
  std::vector<int> progress;
  std::vector<int> verifyProgress;
  std::vector<int> readProgress;
  FakeHexView view;
  int optionReads = 0;
  bool updateProgrammerEnabled = true;
  std::vector<int> prompts;
  std::function<void(int)> onPrompt;
  int repaints = 0;
  bool registered = true;
  OfflineSettings offline;
  std::vector<uint32_t> offlineDialogs;                 // highest start address of each
  std::function<bool(OfflineSettings&)> onOfflineDialog;  // the user's edits; unset: OK unchanged
};

struct Rig {
  Rig(FirmwareUpdateTimings timings = {}) {
    app.resources = &embeddedResources();
    app.ports.messages = &boxes;
    app.ports.clock = &clock;
    applyPart(embeddedResources(), 43, app.state.part);  // "Larch-F8U6"
    clock.setCalendarSeconds(1700000000);
    host.progressOffset = &app.state.part.progressOffset;
    operations = std::make_unique<AdapterOperations>(ProgrammingContext{adapter.api(), adapter, host, loop, app}, timings);
  }

  ProgrammingContext& ctx() { return operations->context(); }

  // The prompt pressed OK: the update runs while the modal prompt waits for
  // the end of the download, as the real prompt does.
  void answerPromptsWithOk() {
    host.onPrompt = [this](int) {
      bool ended = false;
      operations->startFirmwareUpdate([this, &ended] {
        ended = true;
        logAtPromptEnd = adapter.logSnapshot();
      });
      promptEnded = loop.runUntil([&ended] { return ended; });
    };
  }
  // Runs posted calls until the update has reported its result.
  bool finishUpdate() {
    const bool done = loop.runUntil([this] { return app.state.firmwareUpdateRunning == 0; });
    operations->firmwareUpdater().waitForWorker();
    loop.runPosted();
    return done;
  }

  FakeAdapter adapter;
  FakeHost host;
  FakeEventLoop loop;
  RecordingMessageBoxes boxes;
  ManualClock clock;
  AppContext app;
  std::unique_ptr<AdapterOperations> operations;
  bool promptEnded = false;
  std::vector<std::string> logAtPromptEnd;  // the adapter calls made when the prompt was told to end
};

}  // namespace lw::test
