#pragma once
// What the adapter operations need from the main dialog. The main dialog
// implements it; tests use a recording fake. Every method is called on the
// user-interface thread only.
#include <cstdint>
#include <span>
#include <string>

#include "core/ports/operation_progress_port.h"

namespace lw {

class HexViewPort;
struct OfflineSettings;

// The operations report their progress through reportProgress (the window
// draws its bar from it, the command line its bar and JSON lines).
class AdapterOperationsHost : public OperationProgressPort {
 public:
  virtual ~AdapterOperationsHost() = default;

  // The status line (control 1046): a step's text, empty, or the path of the
  // last loaded file (empty when nothing was loaded).
  virtual void setStatusLine(const std::string& text) = 0;
  virtual std::string loadedFilePath() const = 0;
  // What the status line shows now.
  virtual std::string statusLine() const = 0;

  // The hex view that holds the Code buffer (message 1026 gives its length
  // and content).
  virtual HexViewPort& hexView() = 0;

  // Puts bytes read from the target into the Code buffer as a load puts a
  // file's image there: the Part record's code size and checksum follow,
  // the status line shows statusText, and no file stands behind the buffer
  // any more (Auto Reload Code has nothing to reload).
  virtual void showTargetImage(std::span<const uint8_t> image, const std::string& statusText) = 0;

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
