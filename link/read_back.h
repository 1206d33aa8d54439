#pragma once
// Reads code back into the Link library's read-back area for the compare
// that follows a block write (command 30 from the target, 33 from the
// adapter). The read runs on a worker thread while the user-interface
// thread keeps dispatching events and draws the verify progress over the
// status line, so the window paints and says what it does during the
// seconds a long image takes. The caller holds a RunningOperation: the
// events dispatched meanwhile start nothing that would use the adapter.
#include <cstdint>

#include "core/ports/operation_progress_port.h"

namespace lw {

struct ProgrammingContext;

struct ReadBackResult {
  int code = 0;           // the read's result: 0 when the bytes are in the area
  bool quitting = false;  // the program is quitting; the read was cut short
};

// How one read counts in its phase's progress: a long read may be made of
// several, each adding its bytes to those before it.
struct ReadProgress {
  OperationPhase phase = OperationPhase::Verify;
  uint64_t doneBefore = 0;  // bytes of the phase read before this read
  uint64_t total = 0;       // bytes of the whole phase; 0: this read's count
  bool endsPhase = true;    // the phase is over when this read ends
};

// Reads byteCount bytes from address into the read-back area.
ReadBackResult readBack(ProgrammingContext& ctx, uint8_t command, uint32_t byteCount, uint32_t address = 0,
                        ReadProgress progress = {});

}  // namespace lw
