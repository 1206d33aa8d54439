#include "ui/dialogs/firmware_prompt.h"

#include "core/ids/language_keys.h"
#include "core/text.h"
#include "core/ports/dialog_port.h"
#include "core/ports/event_loop_port.h"  // TimerPort

namespace lw {

namespace {

constexpr char kDots[] = "...............";

// Leaves room for the dots in the waiting-text buffer.
std::string fitWaitingText(const std::string& text) {
  constexpr std::size_t kRoom = prompt::kWaitingTextUnits - 1 - prompt::kMaxDots;
  std::u16string units = utf8ToUtf16(text);
  if (units.size() <= kRoom) return text;
  units.resize(kRoom);
  // Do not leave half of a surrogate pair at the end.
  if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) units.pop_back();
  return utf16ToUtf8(units);
}

}  // namespace

FirmwarePrompt::FirmwarePrompt(DialogPort& dialog, TimerPort& timers, FirmwarePromptHost& host,
                               PromptAnimation& animation, int mode)
    : dialog_(dialog), timers_(timers), host_(host), animation_(animation), mode_(mode) {}

void FirmwarePrompt::onInit() {
  started_ = false;
  finished_ = false;
  timer_ = 0;
  frame_ = 0;
  title_ = host_.languageText(textkey::kWarning);
  dialog_.setText(prompt::kMessage, host_.languageText(textkey::kFirmwarePrompt));
  dialog_.setText(prompt::kTitle, title_);
  dialog_.setText(prompt::kOk, host_.languageText(textkey::kOk));
  dialog_.setText(prompt::kCancel, host_.languageText(textkey::kCancel));
  dialog_.setVisible(prompt::kFinishedSign, false);
}

void FirmwarePrompt::onOk() {
  if (started_) return;  // a repeated OK must not start a second update
  animation_.waitingText = fitWaitingText(host_.languageText(textkey::kFirmwareWaiting));
  timers_.startTimer(prompt::kAnimationTimer, prompt::kAnimationPeriodMs);
  timer_ = prompt::kAnimationTimer;
  dialog_.setVisible(prompt::kOk, false);
  dialog_.setVisible(prompt::kCancel, false);
  started_ = true;
  host_.postStartUpdate([weak = weak_from_this()] {
    if (auto self = weak.lock()) self->onDownloadEnded();
  });
}

void FirmwarePrompt::onCancel() {
  if (mode_ == 1) host_.postCloseMainWindow();
  dialog_.endDialog(prompt::kCancelled);
}

void FirmwarePrompt::onTimer(int id) {
  if (id == prompt::kCloseTimer) {
    timers_.killTimer(prompt::kCloseTimer);
    timer_ = 0;
    host_.postCloseSelf();
    return;
  }
  if (id != prompt::kAnimationTimer) return;

  const int dots = animation_.dots < 0 ? 0 : (animation_.dots > prompt::kMaxDots ? prompt::kMaxDots : animation_.dots);
  dialog_.setText(prompt::kMessage, animation_.waitingText + std::string(kDots, static_cast<std::size_t>(dots)));
  animation_.dots = dots + 1;
  frame_ = frame_ + 1 > prompt::kCompleteFrame ? 1 : frame_ + 1;
  dialog_.setText(prompt::kTitle, animation_.dots % 2 == 1 ? title_ : std::string());
  host_.invalidateSign();
  if (animation_.dots > prompt::kMaxDots) animation_.dots = 0;
}

void FirmwarePrompt::onDownloadEnded() {
  frame_ = prompt::kCompleteFrame;
  finished_ = true;
  host_.invalidateSign();
  host_.updateNow();
  dialog_.setText(prompt::kTitle, title_);
  dialog_.setVisible(prompt::kFinishedSign, true);
  if (timer_ != 0) {
    timers_.killTimer(timer_);
    timers_.startTimer(prompt::kCloseTimer, prompt::kClosePeriodMs);
    timer_ = prompt::kCloseTimer;
  }
}

void FirmwarePrompt::onUserClose() {
  if (started_ && !finished_) return;
  dialog_.endDialog(prompt::kCancelled);
}

void FirmwarePrompt::onCloseRequest() { dialog_.endDialog(prompt::kCancelled); }

}  // namespace lw
