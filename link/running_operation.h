#pragma once
// Marks an operation that talks to the adapter as running for the whole of
// its scope, however it ends: the window refuses every command that would
// start a dialog or change the job until then. Events are still dispatched
// during the operation's long steps, so without it a click could open a
// modal dialog inside a USB transfer.
#include "link/adapter_operations_host.h"

namespace lw {

class RunningOperation {
 public:
  explicit RunningOperation(AdapterOperationsHost& host) : host_(host) { host_.setOperationRunning(true); }
  ~RunningOperation() { host_.setOperationRunning(false); }
  RunningOperation(const RunningOperation&) = delete;
  RunningOperation& operator=(const RunningOperation&) = delete;

 private:
  AdapterOperationsHost& host_;
};

}  // namespace lw
