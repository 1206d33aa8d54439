#pragma once
// The read step of Read Target, Verify Target and Blank Check: the target's
// flash read after the part check, noted in the findings, and a read that
// failed explained to the user (unless the program is quitting).
#include <cstdint>

#include "link/target_flash_read.h"
#include "link/target_operations.h"

namespace lw {

TargetFlashRead readTargetStep(ProgrammingContext& ctx, uint32_t byteCount, OperationPhase phase,
                               TargetFindings& findings);

}  // namespace lw
