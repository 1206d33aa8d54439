// Erase Target: the target's flash and option bytes erased, read protection off.
#include "link/adapter_operations_host.h"
#include "core/ids/language_keys.h"
#include "link/programming_context.h"
#include "link/target_operations.h"
#include "link/target_run.h"

namespace lw {

void eraseTarget(ProgrammingContext& ctx, bool& busy) {
  if (!targetRunMayStart(ctx, busy)) return;
  TargetRun run(ctx, busy);
  if (!run.openAdapter() || !run.connectTarget() || !run.checkPart()) return;
  // The erase is the operation's result: a refused one (its status shown)
  // ends with the result box like any other.
  const bool erased = run.erase() == 0;
  const bool released = run.release(erased);
  run.end(erased && released, textkey::kEraseTargetOk, textkey::kEraseTargetFailed);
}

}  // namespace lw
