#pragma once
// The adapter operations of the main dialog in one place: the main dialog
// owns one AdapterOperations and forwards its events to it.
//
//   button 1016 "Update Target"        -> updateTarget()
//   button 1017 "Update Programmer"    -> updateProgrammer()
//   window menu "Read Target", "Verify Target", "Erase Target", "Blank Check"
//                                      -> readTarget(), verifyTarget(), eraseTarget(), blankCheck()
//   timer 1 (after killing the timer)  -> startupProbe()
//   HID device arrival / removal       -> onDeviceArrival(path) / onDeviceRemoval(path)
//   the prompt's OK (message 0x8001)   -> startFirmwareUpdate(downloadEnded)
//   messages 0x8002..0x8006            -> handleUpdateMessage(...) (the worker
//                                         posts them here itself)
//
// Everything runs on the UI thread except the firmware-update worker.
#include <cstdint>
#include <functional>
#include <string_view>

#include "link/firmware_update.h"
#include "link/programming_context.h"
#include "link/run_report.h"
#include "link/target_operations.h"

namespace lw {

class AdapterOperations {
 public:
  explicit AdapterOperations(const ProgrammingContext& ctx, FirmwareUpdateTimings timings = {});
  AdapterOperations(const AdapterOperations&) = delete;
  AdapterOperations& operator=(const AdapterOperations&) = delete;

  void updateTarget();
  void updateProgrammer();
  // The target operations (target_operations.h); byteCount 0: the part's
  // whole flash.
  void readTarget(uint32_t byteCount = 0);
  void verifyTarget();
  void eraseTarget();
  void blankCheck(uint32_t byteCount = 0);
  // What the last Read Target, Verify Target or Blank Check found.
  const TargetFindings& targetFindings() const { return findings_; }
  int checkAdapter(int mode);
  // An adapter left in firmware-update mode is offered the download again.
  bool offerUpdateModeAdapter();
  void startupProbe();
  void onDeviceArrival(std::string_view interfacePath);
  void onDeviceRemoval(std::string_view interfacePath);
  void startFirmwareUpdate(std::function<void()> downloadEnded);
  void handleUpdateMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

  // The busy flag shared by "Update Target" and "Update Programmer".
  bool& busyFlag() { return busy_; }
  ProgrammingContext& context() { return ctx_; }
  FirmwareUpdater& firmwareUpdater() { return updater_; }
  // The step the last operation on the adapter reached, and what ended it.
  const RunReport& runReport() const { return report_; }

 private:
  RunReport report_;
  ProgrammingContext ctx_;
  bool busy_ = false;
  TargetFindings findings_;
  FirmwareUpdater updater_;
};

}  // namespace lw
