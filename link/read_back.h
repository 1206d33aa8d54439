#pragma once
// Reads code back into the Link library's read-back area for the compare
// that follows a block write (command 30 from the target, 33 from the
// adapter). The read runs on a worker thread while the user-interface
// thread keeps dispatching events and draws the verify progress over the
// status line, so the window paints and says what it does during the
// seconds a long image takes. The caller holds a RunningOperation: the
// events dispatched meanwhile start nothing that would use the adapter.
#include <cstdint>

namespace lw {

struct ProgrammingContext;

struct ReadBackResult {
  int code = 0;           // the read's result: 0 when the bytes are in the area
  bool quitting = false;  // the program is quitting; the read was cut short
};

ReadBackResult readBack(ProgrammingContext& ctx, uint8_t command, uint32_t byteCount);

}  // namespace lw
