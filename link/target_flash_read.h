#pragma once
// Reading the target's flash (command 30) into memory. A flash larger than
// the Link library's read-back area is read in several reads, each from its
// own address, so that any part's whole flash can be read; the progress of
// all of them counts as one phase.
#include <cstdint>
#include <vector>

#include "core/ports/operation_progress_port.h"

namespace lw {

struct AppContext;
struct ProgrammingContext;

struct TargetFlashRead {
  int code = 0;           // 0 when every byte was read; else the failed read's result
  bool quitting = false;  // the program is quitting; the read was cut short
  std::vector<uint8_t> bytes;  // the byteCount bytes from offset 0 when code is 0
};

// The bytes of one read: at most the read-back area, whole 256 KiB blocks
// when the flash is larger.
inline constexpr uint32_t kTargetReadBlock = 0x40000;

// Reads byteCount bytes of the target's flash from offset 0 while the
// window keeps painting (read_back.h), reporting them as phase.
TargetFlashRead readTargetFlash(ProgrammingContext& ctx, uint32_t byteCount, OperationPhase phase);

// Tells the user why a read failed: the target's flash is read-protected
// (the adapter's status 6), or it could not be read.
void reportTargetReadFailure(AppContext& app, int code);

// Whether a read's result is the adapter's refusal of a read-protected flash.
bool readRefusedAsProtected(int code);

}  // namespace lw
