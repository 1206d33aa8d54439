#include "link/target_read_step.h"

#include "core/abi/link_abi.h"
#include "core/text.h"
#include "link/programming_context.h"
#include "link/run_report.h"

namespace lw {

TargetFlashRead readTargetStep(ProgrammingContext& ctx, uint32_t byteCount, OperationPhase phase,
                               TargetFindings& findings) {
  stepBegins(ctx.report, "read (command 30)");
  TargetFlashRead read = readTargetFlash(ctx, byteCount, phase);
  findings.readDone = read.code == 0;
  findings.bytesRead = read.code == 0 ? byteCount : 0;
  findings.readProtected = readRefusedAsProtected(read.code);
  if (read.code != 0 && !read.quitting) {
    const auto code = static_cast<uint32_t>(read.code);
    if (code > kReadRefusedBase && code <= kReadRefusedBase + 0xFFFF)
      stepFails(ctx.report, format("the adapter refused the read: status %u%s", code - kReadRefusedBase,
                                   findings.readProtected ? " (the flash is read-protected)" : ""));
    else
      stepFails(ctx.report, callAnswered("ICE_Read_Data", read.code));
    reportTargetReadFailure(ctx.app, read.code);
  }
  return read;
}

}  // namespace lw
