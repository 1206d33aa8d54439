#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "core/ports/dialog_port.h"
#include "core/ports/event_loop_port.h"
#include "ui/dialogs/firmware_prompt.h"

namespace lw::test {
namespace {

// Controls of the prompt kept in maps; timers the test fires by hand.
class PromptWindow final : public DialogPort, public TimerPort, public FirmwarePromptHost {
 public:
  bool hasControl(int id) const override { return texts.count(id) > 0; }
  void setText(int id, const std::string& t) override { texts[id] = t; }
  std::string text(int id) const override { return texts.count(id) ? texts.at(id) : std::string(); }
  void setTextLimit(int, int) override {}
  void setChecked(int, bool) override {}
  bool isChecked(int) const override { return false; }
  void setEnabled(int, bool) override {}
  bool isEnabled(int) const override { return true; }
  void setVisible(int id, bool v) override { hidden[id] = !v; }
  bool isVisible(int id) const override { return !(hidden.count(id) && hidden.at(id)); }
  void comboClear(int) override {}
  int comboAdd(int, const std::string&, uint32_t) override { return -1; }
  int comboCount(int) const override { return 0; }
  std::string comboText(int, int) const override { return {}; }
  uint32_t comboData(int, int) const override { return 0; }
  void comboSelect(int, int) override {}
  int comboSelection(int) const override { return -1; }
  void setDefaultButton(int) override {}
  void setFocus(int) override {}
  void setTooltip(int, const std::string&) override {}
  void setTitle(const std::string&) override {}
  std::string title() const override { return {}; }
  void repaint() override {}
  void endDialog(int r) override { result = r; }

  void startTimer(int id, int periodMs) override { timers[id] = periodMs; }
  void killTimer(int id) override { timers.erase(id); }

  std::string languageText(uint16_t key) override {
    static const std::map<uint16_t, std::string> table = {
        {1107, "Warning !"}, {1127, "Update firmware version, please wait for a while."},
        {1131, "Unmatched firmware version on the Tether."}, {1142, "Ok"}, {1143, "Cancel"}};
    return table.count(key) ? table.at(key) : std::string();
  }
  void postStartUpdate(std::function<void()> ended) override {
    ++startPosts;
    downloadEnded = std::move(ended);
  }
  void postCloseMainWindow() override { ++mainCloses; }
  void postCloseSelf() override { ++selfCloses; }
  void invalidateSign() override { ++invalidations; }
  void updateNow() override { ++updates; }

  std::map<int, std::string> texts;
  std::map<int, bool> hidden;
  std::map<int, int> timers;
  int result = 0;
  int startPosts = 0, mainCloses = 0, selfCloses = 0, invalidations = 0, updates = 0;
  std::function<void()> downloadEnded;
};

struct Prompt {
  explicit Prompt(int mode, PromptAnimation& shared) {
    logic = std::make_shared<FirmwarePrompt>(window, window, window, shared, mode);
    logic->onInit();
  }
  void tick() { logic->onTimer(prompt::kAnimationTimer); }
  // What follows the waiting text (which ends in a full stop of its own).
  std::string dots() const {
    static const std::string waiting = "Update firmware version, please wait for a while.";
    const std::string& t = window.texts.at(prompt::kMessage);
    EXPECT_EQ(t.rfind(waiting, 0), 0u);
    return t.substr(waiting.size());
  }
  PromptWindow window;
  std::shared_ptr<FirmwarePrompt> logic;
};

TEST(FirmwarePrompt, InitialisesTextsAndWaitsForTheUser) {
  PromptAnimation shared;
  Prompt p(0, shared);
  EXPECT_EQ(p.window.text(prompt::kTitle), "Warning !");
  EXPECT_EQ(p.window.text(prompt::kMessage), "Unmatched firmware version on the Tether.");
  EXPECT_EQ(p.window.text(prompt::kOk), "Ok");
  EXPECT_EQ(p.window.text(prompt::kCancel), "Cancel");
  EXPECT_FALSE(p.window.isVisible(prompt::kFinishedSign));
  EXPECT_EQ(p.logic->frame(), 0);
  EXPECT_TRUE(p.window.timers.empty());
}

TEST(FirmwarePrompt, OkStartsTheUpdateOnce) {
  PromptAnimation shared;
  Prompt p(0, shared);
  p.logic->onOk();
  p.logic->onOk();  // a repeated OK does not start a second update
  EXPECT_EQ(p.window.startPosts, 1);
  EXPECT_EQ(p.window.timers, (std::map<int, int>{{1, 100}}));
  EXPECT_FALSE(p.window.isVisible(prompt::kOk));
  EXPECT_FALSE(p.window.isVisible(prompt::kCancel));
  EXPECT_TRUE(p.logic->started());
  // Escape or closing the window is ignored while the update runs.
  p.logic->onUserClose();
  EXPECT_EQ(p.window.result, 0);
}

TEST(FirmwarePrompt, AnimatesDotsFramesAndTitle) {
  PromptAnimation shared;
  Prompt p(0, shared);
  p.logic->onOk();
  std::vector<std::size_t> dots;
  std::vector<int> frames;
  std::vector<bool> titleShown;
  for (int i = 0; i < 12; ++i) {
    p.tick();
    dots.push_back(p.dots().size());
    frames.push_back(p.logic->frame());
    titleShown.push_back(!p.window.text(prompt::kTitle).empty());
  }
  EXPECT_EQ(dots, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}));
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4}));
  // Visible when the new dot count is odd: 1, 3, ..., 11, then 1 again.
  EXPECT_EQ(titleShown, (std::vector<bool>{true, false, true, false, true, false, true, false, true, false, true,
                                           true}));
  EXPECT_EQ(p.window.invalidations, 12);
  EXPECT_EQ(p.window.text(prompt::kMessage).rfind("Update firmware version, please wait for a while.", 0), 0u);
}

TEST(FirmwarePrompt, DotsContinueInTheNextPrompt) {
  PromptAnimation shared;
  {
    Prompt first(0, shared);
    first.logic->onOk();
    for (int i = 0; i < 4; ++i) first.tick();
  }
  Prompt second(0, shared);
  EXPECT_EQ(second.logic->frame(), 0);
  second.logic->onOk();
  second.tick();
  EXPECT_EQ(second.dots().size(), 4u);
}

TEST(FirmwarePrompt, EndOfDownloadShowsTheSignAndCloses) {
  PromptAnimation shared;
  Prompt p(0, shared);
  p.logic->onOk();
  p.tick();
  p.tick();  // title hidden now
  ASSERT_TRUE(p.window.downloadEnded);
  p.window.downloadEnded();
  EXPECT_EQ(p.logic->frame(), prompt::kCompleteFrame);
  EXPECT_EQ(p.window.text(prompt::kTitle), "Warning !");
  EXPECT_TRUE(p.window.isVisible(prompt::kFinishedSign));
  EXPECT_GE(p.window.updates, 1);
  EXPECT_EQ(p.window.timers, (std::map<int, int>{{2, 50}}));

  p.logic->onTimer(prompt::kCloseTimer);
  EXPECT_TRUE(p.window.timers.empty());
  EXPECT_EQ(p.window.selfCloses, 1);
  p.logic->onCloseRequest();
  EXPECT_EQ(p.window.result, prompt::kCancelled);
}

TEST(FirmwarePrompt, EndWithoutATimerDoesNotClose) {
  PromptAnimation shared;
  Prompt p(0, shared);
  p.logic->onDownloadEnded();  // OK never pressed
  EXPECT_EQ(p.logic->frame(), prompt::kCompleteFrame);
  EXPECT_TRUE(p.window.isVisible(prompt::kFinishedSign));
  EXPECT_TRUE(p.window.timers.empty());
  EXPECT_EQ(p.window.result, 0);
}

TEST(FirmwarePrompt, CancelByMode) {
  PromptAnimation shared;
  Prompt normal(0, shared);
  normal.logic->onCancel();
  EXPECT_EQ(normal.window.result, prompt::kCancelled);
  EXPECT_EQ(normal.window.mainCloses, 0);

  Prompt closing(1, shared);
  closing.logic->onCancel();
  EXPECT_EQ(closing.window.result, prompt::kCancelled);
  EXPECT_EQ(closing.window.mainCloses, 1);

  Prompt escaped(1, shared);  // Escape before OK: like Cancel, program stays
  escaped.logic->onUserClose();
  EXPECT_EQ(escaped.window.result, prompt::kCancelled);
  EXPECT_EQ(escaped.window.mainCloses, 0);
}

TEST(FirmwarePrompt, EndOfDownloadAfterThePromptIsGoneDoesNothing) {
  PromptAnimation shared;
  PromptWindow window;
  auto logic = std::make_shared<FirmwarePrompt>(window, window, window, shared, 0);
  logic->onInit();
  logic->onOk();
  const std::function<void()> ended = window.downloadEnded;
  logic.reset();  // the prompt's window has closed
  ended();
  EXPECT_FALSE(window.isVisible(prompt::kFinishedSign));
  EXPECT_EQ(window.text(prompt::kTitle), "Warning !");
}

}  // namespace
}  // namespace lw::test
