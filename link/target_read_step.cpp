#include "link/target_read_step.h"

#include "link/programming_context.h"

namespace lw {

TargetFlashRead readTargetStep(ProgrammingContext& ctx, uint32_t byteCount, OperationPhase phase,
                               TargetFindings& findings) {
  TargetFlashRead read = readTargetFlash(ctx, byteCount, phase);
  findings.readDone = read.code == 0;
  findings.bytesRead = read.code == 0 ? byteCount : 0;
  findings.readProtected = readRefusedAsProtected(read.code);
  if (read.code != 0 && !read.quitting) reportTargetReadFailure(ctx.app, read.code);
  return read;
}

}  // namespace lw
