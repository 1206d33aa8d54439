#pragma once
// Read Target, Verify Target, Erase Target and Blank Check: the operations
// on the target beside Update Target. Each starts with Update Target's steps
// (target_run.h: the adapter and its firmware, command 37, the part check),
// does its own work, releases the target and ends the run with one result
// box. busy is the flag Update Target and Update Programmer share: when it
// is set an operation does nothing.
#include <cstdint>
#include <optional>

#include "link/flash_compare.h"

namespace lw {

struct ProgrammingContext;

// What the last of these operations found, beyond its result box.
struct TargetFindings {
  bool readDone = false;      // the target's flash was read
  uint32_t bytesRead = 0;
  bool readProtected = false;  // the adapter refused the read: the flash is read-protected
  FlashComparison comparison;  // Verify Target
  std::optional<uint32_t> firstNonBlank;  // Blank Check: the first byte that is not 0xFF
};

// Reads byteCount bytes of the target's flash from offset 0 and puts them in
// the Code buffer, as a load puts a file there.
void readTarget(ProgrammingContext& ctx, bool& busy, uint32_t byteCount, TargetFindings& findings);

// Reads as much of the target's flash as the Code buffer holds and compares
// it with the buffer, writing nothing.
void verifyTarget(ProgrammingContext& ctx, bool& busy, TargetFindings& findings);

// Erases the target (flash and option bytes, read protection off).
void eraseTarget(ProgrammingContext& ctx, bool& busy);

// Reads byteCount bytes of the target's flash and tells whether every one
// is erased (0xFF).
void blankCheck(ProgrammingContext& ctx, bool& busy, uint32_t byteCount, TargetFindings& findings);

}  // namespace lw
