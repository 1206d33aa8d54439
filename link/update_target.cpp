#include "link/update_target.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/codes.h"
#include "core/text.h"
#include "link/adapter_messages.h"
#include "link/block_write.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"
#include "link/read_back.h"
#include "link/run_report.h"
#include "link/target_run.h"
#include "core/ports/hex_view_port.h"

namespace lw {

namespace {

// One run of the operation: the steps it shares with the other target
// operations (target_run.h), then the write, the compare and the option
// bytes.
class UpdateTargetRun {
 public:
  UpdateTargetRun(ProgrammingContext& ctx, bool& busy) : ctx_(ctx), run_(ctx, busy) {}

  void run();

 private:
  void finish(int result);

  ProgrammingContext& ctx_;
  TargetRun run_;
  std::vector<uint8_t> code_;  // the code copy, n + 1 bytes
};

void UpdateTargetRun::finish(int result) {
  const bool released = run_.release(result == 1);
  run_.end(result == 1 && released, textkey::kUpdateTargetOk, textkey::kUpdateTargetFailed);
}

void UpdateTargetRun::run() {
  PartRecord& part = ctx_.app.state.part;
  if (!run_.openAdapter() || !run_.connectTarget() || !run_.checkPart()) return;
  if (run_.erase() != 0) return run_.releaseAndClose();

  HexViewPort& view = ctx_.host.hexView();
  const intptr_t length = view.send(hexmsg::kData, 0, 0);
  const uint32_t n = length > 0 ? static_cast<uint32_t>(std::min<intptr_t>(length, INT32_MAX)) : 0;
  part.codeSize = n;

  int result = 1;
  bool writeOptions = true;
  if (n > 0) {
    code_.assign(std::size_t{n} + 1, 0);
    view.send(hexmsg::kData, reinterpret_cast<uintptr_t>(code_.data()), static_cast<intptr_t>(n));

    if (n <= part.flashSize) {
      ctx_.host.setStatusLine("");
      stepBegins(ctx_.report, "code write (command 25)");
      result = blockWrite(ctx_, cmd::kWriteCode, code_.data(), 0, n);
      run_.restoreStatus();
      ctx_.host.repaint();
      if (result != 1) writeOptions = false;
    }

    // Code that is not compared with the target's flash is not known to be
    // there: a buffer the read-back area cannot hold, or a read-back that
    // fails, fails the run instead of passing an unverified target.
    if (writeOptions) {
      stepBegins(ctx_.report, "read-back (command 30)");
      uint16_t unverified = 0;  // the key of the reason the code was not compared
      ReadBackResult read;
      if (n <= kReadBackSize) read = readBack(ctx_, cmd::kReadTarget, n);
      if (read.quitting) {
        // Closing the window cut the read short, as it ends a block write.
        result = 0;
        writeOptions = false;
      } else if (n > kReadBackSize) {
        unverified = textkey::kCodeTooLongToVerify;
        stepFails(ctx_.report, format("%u bytes do not fit the read-back area", n));
      } else if (read.code != 0) {
        unverified = textkey::kCodeReadBackFailed;
        stepFails(ctx_.report, callAnswered("ICE_Read_Data", read.code));
      } else if (std::memcmp(code_.data(), run_.ice().readBack, n) != 0) {
        stepBegins(ctx_.report, "verify");
        stepFails(ctx_.report, firstDifference(code_.data(), run_.ice().readBack, n));
        if (ctx_.app.ports.messages) ctx_.app.ports.messages->beep(mb::kIconQuestion);
        messageByKeys(ctx_.app, textkey::kError, textkey::kChecksumFailed, mb::kIconError);
        run_.over();
        ctx_.link.disconnect();
        return;
      }
      if (unverified) {
        errorBoxWithText(ctx_.app, languageTextOf(ctx_.app, unverified));
        result = 0;
        writeOptions = false;
      }
    }
  }

  if (writeOptions) {
    ctx_.host.readOptionCheckBoxes();
    stepBegins(ctx_.report, "option bytes write (command 26)");
    result = blockWrite(ctx_, cmd::kWriteOptions, part.optionBytes.data(), 0, part.optionByteCount);
  }
  finish(result);
}

}  // namespace

void updateTarget(ProgrammingContext& ctx, bool& busy) {
  if (!targetRunMayStart(ctx, busy)) return;
  UpdateTargetRun(ctx, busy).run();
}

}  // namespace lw
