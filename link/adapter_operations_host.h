#pragma once
// What the adapter operations need from the main dialog. The main dialog
// implements it; tests use a recording fake. Every method is called on the
// user-interface thread only.
#include <cstdint>
#include <string>

namespace lw {

class HexViewPort;
struct OfflineSettings;

class AdapterOperationsHost {
 public:
  virtual ~AdapterOperationsHost() = default;

  // The status line (control 1046): a step's text, empty, or the path of the
  // last loaded file (empty when nothing was loaded).
  virtual void setStatusLine(const std::string& text) = 0;
  virtual std::string loadedFilePath() const = 0;
  // What the status line shows now.
  virtual std::string statusLine() const = 0;

  // Progress bar over the status line: 0..100 percent, negative clears it.
  virtual void drawProgress(int percent) = 0;
  // The same bar for the read-back that verifies a write ("Verifying ...40%").
  virtual void drawVerifyProgress(int percent) = 0;

  // The hex view that holds the Code buffer (message 1026 gives its length
  // and content).
  virtual HexViewPort& hexView() = 0;

  // Reads the option check boxes into the Part record's option bytes.
  virtual void readOptionCheckBoxes() = 0;

  // Button 1017 "Update Programmer".
  virtual void setUpdateProgrammerEnabled(bool enabled) = 0;

  // The main dialog's off-line settings.
  virtual OfflineSettings& offlineSettings() = 0;
  // Shows the Off-line mode dialog modally over offlineSettings(), which it
  // edits as the user types; true when it ended with OK.
  virtual bool editOfflineSettings(uint32_t highestStartAddress) = 0;

  // Shows the firmware-update prompt modally; returns when it has closed.
  // Mode 1: its Cancel also closes the program.
  virtual void showFirmwarePrompt(int mode) = 0;

  // Repaints the dialog without erasing it.
  virtual void repaint() = 0;

  // Whether the dialog receives device arrival and removal notifications.
  virtual bool deviceNotificationsRegistered() const = 0;

  // An operation that talks to the adapter starts (true) or ends (false);
  // the calls nest. While one runs, the window takes no command that would
  // start a dialog or change the job (see RunningOperation).
  virtual void setOperationRunning(bool running) = 0;
};

}  // namespace lw
