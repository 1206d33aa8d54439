// Read Target: the target's flash into the Code buffer.
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/text.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"
#include "link/target_operations.h"
#include "link/target_read_step.h"
#include "link/target_run.h"

namespace lw {

void readTarget(ProgrammingContext& ctx, bool& busy, uint32_t byteCount, TargetFindings& findings) {
  if (!targetRunMayStart(ctx, busy)) return;
  findings = {};
  TargetRun run(ctx, busy);
  if (!run.openAdapter() || !run.connectTarget() || !run.checkPart()) return;

  const TargetFlashRead read = readTargetStep(ctx, byteCount, OperationPhase::Read, findings);
  const bool released = run.release(read.code == 0);
  const bool passed = read.code == 0 && released;
  if (passed) {
    // The status line names where the bytes came from, as it names a loaded file.
    const std::string source = format("%s \"%s\"", languageTextOf(ctx.app, textkey::kReadFromTarget).c_str(),
                                      ctx.app.state.part.partName.c_str());
    ctx.host.showTargetImage(read.bytes, source);
    run.setStatusAfterRun(source);
  }
  run.end(passed, textkey::kReadTargetOk, textkey::kReadTargetFailed);
}

}  // namespace lw
