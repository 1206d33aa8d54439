// Blank Check: whether every byte of the target's flash is erased.
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/text.h"
#include "link/programming_context.h"
#include "link/run_report.h"
#include "link/target_operations.h"
#include "link/target_read_step.h"
#include "link/target_run.h"

namespace lw {

void blankCheck(ProgrammingContext& ctx, bool& busy, uint32_t byteCount, TargetFindings& findings) {
  if (!targetRunMayStart(ctx, busy)) return;
  findings = {};
  TargetRun run(ctx, busy);
  if (!run.openAdapter() || !run.connectTarget() || !run.checkPart()) return;

  const TargetFlashRead read = readTargetStep(ctx, byteCount, OperationPhase::Read, findings);
  if (read.code == 0) findings.firstNonBlank = firstNonBlank(read.bytes);
  if (findings.firstNonBlank) {
    stepBegins(ctx.report, "blank check");
    stepFails(ctx.report, format("byte 0x%08X holds 0x%02X", *findings.firstNonBlank, read.bytes[*findings.firstNonBlank]));
  }
  const bool blank = read.code == 0 && !findings.firstNonBlank;
  const bool released = run.release(blank);
  if (read.code != 0) {
    run.end(false, textkey::kTargetBlank, textkey::kBlankCheckFailed);
    return;
  }
  std::string detail;
  if (findings.firstNonBlank)
    detail = format("%s: 0x%08X", languageTextOf(ctx.app, textkey::kFirstNonBlankByte).c_str(), *findings.firstNonBlank);
  // A blank target whose release failed has not passed either.
  run.end(blank && released, textkey::kTargetBlank,
          findings.firstNonBlank ? textkey::kTargetNotBlank : textkey::kBlankCheckFailed, detail);
}

}  // namespace lw
