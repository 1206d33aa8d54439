#pragma once
// The Qt view of the firmware-update prompt (dialog 169). It lays out the
// controls, paints the amber dialog, the black title with its red text and
// the warning-sign frames, and forwards clicks, timers and posted calls to
// the prompt's logic (ui/dialogs/firmware_prompt.h).
#include <QDialog>
#include <QImage>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/dialog_port.h"
#include "core/ports/event_loop_port.h"
#include "ui/dialogs/firmware_prompt.h"

class QLabel;
class QPushButton;
class QTimer;

namespace lw {

struct FirmwarePromptServices {
  // Language table text by key.
  std::function<std::string(uint16_t key)> text;
  // Starts the update (message 0x8001), called on the UI thread after the
  // prompt's OK; the worker later calls downloadEnded on the UI thread.
  std::function<void(std::function<void()> downloadEnded)> startUpdate;
  // Asks the main window to close (Cancel in mode 1).
  std::function<void()> closeMainWindow;
};

// The animation state every prompt of this run shares.
PromptAnimation& sharedPromptAnimation();

class QtFirmwarePromptView final : public QDialog {
 public:
  QtFirmwarePromptView(QWidget* parent, int mode, FirmwarePromptServices services, PromptAnimation& animation);
  ~QtFirmwarePromptView() override;

  FirmwarePrompt& logic() { return *logic_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  void reject() override;  // Escape
  void closeEvent(QCloseEvent* event) override;

 private:
  // The prompt logic's view of this window: controls by id, timers and the
  // window services.
  class Ports final : public DialogPort, public TimerPort, public FirmwarePromptHost {
   public:
    explicit Ports(QtFirmwarePromptView& view) : view_(view) {}
    // DialogPort
    bool hasControl(int id) const override;
    void setText(int id, const std::string& text) override;
    std::string text(int id) const override;
    void setTextLimit(int, int) override {}
    void setChecked(int, bool) override {}
    bool isChecked(int) const override { return false; }
    void setEnabled(int id, bool enabled) override;
    bool isEnabled(int id) const override;
    void setVisible(int id, bool visible) override;
    bool isVisible(int id) const override;
    void comboClear(int) override {}
    int comboAdd(int, const std::string&, uint32_t) override { return -1; }
    int comboCount(int) const override { return 0; }
    std::string comboText(int, int) const override { return {}; }
    uint32_t comboData(int, int) const override { return 0; }
    void comboSelect(int, int) override {}
    int comboSelection(int) const override { return -1; }
    void setDefaultButton(int id) override;
    void setFocus(int id) override;
    void setTooltip(int id, const std::string& text) override;
    void setTitle(const std::string& title) override;
    std::string title() const override;
    void repaint() override;
    void endDialog(int result) override;
    // TimerPort
    void startTimer(int id, int periodMs) override;
    void killTimer(int id) override;
    // FirmwarePromptHost
    std::string languageText(uint16_t key) override;
    void postStartUpdate(std::function<void()> downloadEnded) override;
    void postCloseMainWindow() override;
    void postCloseSelf() override;
    void invalidateSign() override;
    void updateNow() override;

   private:
    QWidget* control(int id) const;
    QtFirmwarePromptView& view_;
  };

  FirmwarePromptServices services_;
  Ports ports_{*this};
  std::shared_ptr<FirmwarePrompt> logic_;
  std::map<int, QWidget*> controls_;
  std::map<int, QTimer*> timers_;
  std::vector<QImage> frames_;
  bool ending_ = false;
};

// Shows the prompt modally over parent with the mode; returns once closed.
void runFirmwarePrompt(QWidget* parent, int mode, const FirmwarePromptServices& services);

}  // namespace lw
