// Verify Target: the Code buffer compared with the target's flash, nothing written.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/codes.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/hex_view_port.h"
#include "core/ports/message_box_port.h"
#include "core/text.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"
#include "link/run_report.h"
#include "link/target_operations.h"
#include "link/target_read_step.h"
#include "link/target_run.h"

namespace lw {

namespace {

// "Bytes that differ: 3", the heading and the first differences.
std::string differenceReport(const AppContext& app, const FlashComparison& c) {
  return format("%s: %llu\n%s\n%s", languageTextOf(app, textkey::kBytesThatDiffer).c_str(),
                static_cast<unsigned long long>(c.differing), languageTextOf(app, textkey::kDifferenceHeading).c_str(),
                differenceLines(c.first).c_str());
}

}  // namespace

void verifyTarget(ProgrammingContext& ctx, bool& busy, TargetFindings& findings) {
  if (!targetRunMayStart(ctx, busy)) return;
  findings = {};
  // The copy compared is the Code buffer as the operation starts; edits made
  // while it runs do not count.
  HexViewPort& view = ctx.host.hexView();
  const intptr_t length = view.send(hexmsg::kData, 0, 0);
  const uint32_t n = length > 0 ? static_cast<uint32_t>(std::min<intptr_t>(length, INT32_MAX)) : 0;
  if (n == 0 || n > ctx.app.state.part.flashSize) {
    // Nothing to compare, or bytes the target's flash cannot hold: the
    // adapter is not touched.
    messageByKeys(ctx.app, textkey::kError, n == 0 ? textkey::kNothingToVerify : textkey::kTooLargeToVerify,
                  mb::kIconError);
    return;
  }
  std::vector<uint8_t> code(std::size_t{n} + 1, 0);
  view.send(hexmsg::kData, reinterpret_cast<uintptr_t>(code.data()), static_cast<intptr_t>(n));
  code.resize(n);

  TargetRun run(ctx, busy);
  if (!run.openAdapter() || !run.connectTarget() || !run.checkPart()) return;

  const TargetFlashRead read = readTargetStep(ctx, n, OperationPhase::Verify, findings);
  bool same = false;
  std::string detail;
  if (read.code == 0) {
    findings.comparison = compareFlash(code, read.bytes);
    same = findings.comparison.differing == 0;
    if (!same) {
      stepBegins(ctx.report, "verify");
      const uint64_t differing = findings.comparison.differing;
      stepFails(ctx.report, format("%llu %s, the first: %s", static_cast<unsigned long long>(differing),
                                   differing == 1 ? "byte differs" : "bytes differ",
                                   firstDifference(code.data(), read.bytes.data(), n).c_str()));
      detail = differenceReport(ctx.app, findings.comparison);
      if (ctx.app.ports.messages) ctx.app.ports.messages->beep(mb::kIconQuestion);
    }
  }
  const bool released = run.release(same);
  run.end(same && released, textkey::kVerifyTargetOk, textkey::kVerifyTargetFailed, detail);
}

}  // namespace lw
