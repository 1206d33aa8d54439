#pragma once
// The firmware-update prompt (dialog 169): warns that the adapter's firmware
// does not match and asks for consent; after OK it shows the update's
// progress with an animated warning sign, a blinking title and a growing row
// of dots, and closes itself once the update worker reports the end of the
// download. The logic here drives its controls, timers and window through
// ports; the Qt view paints and forwards events.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include "core/ids/firmware_prompt_ids.h"

namespace lw {

class DialogPort;
class TimerPort;

namespace prompt {
inline constexpr int kFinishedSignBitmap = 188;
inline constexpr int kAnimationTimer = 1;   // every 100 ms
inline constexpr int kAnimationPeriodMs = 100;
inline constexpr int kCloseTimer = 2;       // once, 50 ms after the end
inline constexpr int kClosePeriodMs = 50;
inline constexpr int kFrameCount = 9;       // 0 empty .. 8 complete sign
inline constexpr int kCompleteFrame = 8;
inline constexpr int kMaxDots = 10;
inline constexpr std::size_t kWaitingTextUnits = 260;  // text plus dots, UTF-16 units
// Where the warning sign is painted (client pixels) and its frame size.
inline constexpr int kSignX = 30;
inline constexpr int kSignY = 131;
inline constexpr int kSignSize = 41;
inline constexpr int kCancelled = 2;
}  // namespace prompt

// State the prompt keeps for the whole run, shared by every prompt shown:
// the dots continue where the previous prompt left them.
struct PromptAnimation {
  std::string waitingText;
  int dots = 0;  // 0..10
};

// The prompt's window and its surroundings.
class FirmwarePromptHost {
 public:
  virtual ~FirmwarePromptHost() = default;
  virtual std::string languageText(uint16_t key) = 0;
  // Message 0x8001 to the main window: start the update. downloadEnded is
  // to be called on the UI thread when the download has ended (0x8007); it
  // does nothing once the prompt is gone.
  virtual void postStartUpdate(std::function<void()> downloadEnded) = 0;
  // Asks the main window to close, which ends the program.
  virtual void postCloseMainWindow() = 0;
  // Posts a close request to the prompt itself (handled by onCloseRequest).
  virtual void postCloseSelf() = 0;
  // Erases and repaints the warning sign's rectangle.
  virtual void invalidateSign() = 0;
  // Paints what is invalid at once.
  virtual void updateNow() = 0;
};

// Create with std::make_shared: the end-of-download call it hands out
// refers to it weakly.
class FirmwarePrompt : public std::enable_shared_from_this<FirmwarePrompt> {
 public:
  // mode 1: Cancel also closes the program.
  FirmwarePrompt(DialogPort& dialog, TimerPort& timers, FirmwarePromptHost& host, PromptAnimation& animation,
                 int mode);

  void onInit();
  void onOk();
  void onCancel();
  void onTimer(int id);
  void onDownloadEnded();  // message 0x8007
  // Escape or the window's close: ends the dialog like Cancel (without the
  // program-closing mode) before OK; ignored while the update runs, since
  // the worker still holds the adapter then.
  void onUserClose();
  // The close request the prompt posted to itself after the end.
  void onCloseRequest();

  int frame() const { return frame_; }
  bool started() const { return started_; }
  bool finished() const { return finished_; }
  int runningTimer() const { return timer_; }
  int mode() const { return mode_; }

 private:
  DialogPort& dialog_;
  TimerPort& timers_;
  FirmwarePromptHost& host_;
  PromptAnimation& animation_;
  int mode_;
  bool started_ = false;
  bool finished_ = false;
  int timer_ = 0;
  int frame_ = 0;
  std::string title_;
};

}  // namespace lw
