#include "link/update_target.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/codes.h"
#include "core/text.h"
#include "link/adapter_access.h"
#include "link/adapter_answer.h"
#include "link/adapter_check.h"
#include "link/adapter_messages.h"
#include "core/context/program_texts.h"
#include "link/adapter_status.h"
#include "link/block_write.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"
#include "link/read_back.h"
#include "link/run_report.h"
#include "core/ports/hex_view_port.h"

namespace lw {

namespace {

// One run of the operation; each method is one step and says how the run
// goes on.
class UpdateTargetRun {
 public:
  UpdateTargetRun(ProgrammingContext& ctx, bool& busy) : ctx_(ctx), busy_(busy), ice_(*ctx.link.ice) {}

  void run();

 private:
  // The answer to a command that has just been sent. It only counts when
  // it was read and carries the tag of this request.
  struct CommandAnswer {
    uint32_t readResult = 0;
    bool tagMatches = false;
    AnswerReport report;
    bool ok() const { return readResult == 0 && tagMatches; }
  };

  CommandAnswer sendAndRead(uint8_t command, uint8_t param0, uint8_t param1);
  // Says what a failed answer was, for the run report.
  void answerFailed(const CommandAnswer& a);
  int erase();
  void releaseAndClose();  // command 4, status back, busy cleared, adapter closed
  void restoreStatus() { ctx_.host.setStatusLine(ctx_.host.loadedFilePath()); }
  void finish(int result);

  ProgrammingContext& ctx_;
  bool& busy_;
  IceRecord& ice_;
  std::vector<uint8_t> code_;  // the code copy, n + 1 bytes
};

UpdateTargetRun::CommandAnswer UpdateTargetRun::sendAndRead(uint8_t command, uint8_t param0, uint8_t param1) {
  makeRequestTag(ice_, *ctx_.app.ports.clock);
  ice_.params[0] = param0;
  ice_.params[1] = param1;
  ctx_.link.send(command);  // its result is not examined: the answer tells
  CommandAnswer answer;
  AnswerBuffer buffer{};
  answer.readResult = readAnswer(ctx_, buffer);
  answer.report = parseAnswer(buffer);
  answer.tagMatches = answer.report.tag == ice_.requestTag;
  return answer;
}

void UpdateTargetRun::answerFailed(const CommandAnswer& a) {
  if (a.readResult != 0) stepFails(ctx_.report, unreadAnswer(a.readResult));
  else if (!a.tagMatches) stepFails(ctx_.report, wrongTag(a.report.tag, ice_.requestTag));
  else stepFails(ctx_.report, statusAnswer(a.report));
}

int UpdateTargetRun::erase() {
  stepBegins(ctx_.report, "erase (command 13)");
  makeRequestTag(ice_, *ctx_.app.ports.clock);
  if (const int sent = ctx_.link.send(cmd::kErase); sent != 0) {
    stepFails(ctx_.report, callAnswered("ICE_Send_Command", sent));
    return sent;
  }
  AnswerBuffer buffer{};
  if (const uint32_t read = readAnswer(ctx_, buffer); read != 0) {
    stepFails(ctx_.report, unreadAnswer(read));
    return 13;
  }
  const AnswerReport answer = parseAnswer(buffer);
  if (answer.tag != ice_.requestTag) {
    stepFails(ctx_.report, wrongTag(answer.tag, ice_.requestTag));
    return 13;
  }
  if (answer.status == 0) return 0;
  stepFails(ctx_.report, statusAnswer(answer));
  reportAdapterStatus(ctx_.app, AdapterStep::Erase, answer);
  return 21;
}

void UpdateTargetRun::releaseAndClose() {
  ctx_.link.send(cmd::kReleaseTarget);
  restoreStatus();
  busy_ = false;
  ctx_.link.disconnect();
}

void UpdateTargetRun::finish(int result) {
  if (result == 1) stepBegins(ctx_.report, "release (command 4)");
  const int released = ctx_.link.send(cmd::kReleaseTarget);
  if (result == 1 && released != 0) stepFails(ctx_.report, callAnswered("ICE_Send_Command", released));
  if (result == 1 && released == 0)
    messageByKeys(ctx_.app, textkey::kPass, textkey::kUpdateTargetOk, mb::kIconInformation);
  else
    messageByKeys(ctx_.app, textkey::kError, textkey::kUpdateTargetFailed, mb::kIconError);

  ice_.params[0] = 0;
  ctx_.link.send(cmd::kEndRun);
  restoreStatus();
  busy_ = false;
  ctx_.link.disconnect();
}

void UpdateTargetRun::run() {
  AppState& state = ctx_.app.state;
  PartRecord& part = state.part;

  if (ctx_.link.openHandle() != 0) ctx_.link.disconnect();

  stepBegins(ctx_.report, "opening the adapter");
  const int opened = ctx_.link.connect(0, 0, 1);
  ctx_.host.setStatusLine("");
  if (opened != 0) {
    stepFails(ctx_.report, callAnswered("ConnectHIDDevice", opened));
    if (!offerUpdateModeAdapter(ctx_)) reportAdapterNotOpened(ctx_.app, ctx_.link, opened);
    busy_ = false;
    ctx_.link.disconnect();
    return;
  }

  stepBegins(ctx_.report, "the adapter's firmware check");
  if (checkAdapter(ctx_, 0) != 1) {
    restoreStatus();
    busy_ = false;
    ctx_.link.disconnect();
    return;
  }

  // Connect to the target.
  {
    stepBegins(ctx_.report, "connect (command 37)");
    const CommandAnswer a = sendAndRead(cmd::kConnectTarget, part.adapterParamA, part.adapterParamB);
    if (!a.ok() || a.report.status != 0) answerFailed(a);
    if (!a.ok()) {
      ctx_.link.send(cmd::kReleaseTarget);
      busy_ = false;
      ctx_.link.disconnect();
      return;
    }
    if (a.report.status != 0) {
      // The adapter stays open; the next operation closes it first.
      reportAdapterStatus(ctx_.app, AdapterStep::Connect, a.report);
      busy_ = false;
      return;
    }
  }

  // Check that the target is the selected part.
  {
    stepBegins(ctx_.report, "part check (command 35)");
    const CommandAnswer a = sendAndRead(cmd::kCheckPart, static_cast<uint8_t>(part.partIndex & 0xFF),
                                        static_cast<uint8_t>(part.partIndex >> 8));
    if (!a.ok() || (a.report.status != adapter_status::kOk && a.report.status != adapter_status::kPartAccepted))
      answerFailed(a);
    if (a.readResult == err::kInvalidData)
      messageByKeys(ctx_.app, textkey::kError, textkey::kTargetMissing, mb::kIconError);
    if (!a.ok()) return releaseAndClose();
    const uint16_t status = a.report.status;
    if (status != adapter_status::kOk && status != adapter_status::kPartAccepted) {
      reportAdapterStatus(ctx_.app, AdapterStep::PartCheck, a.report);
      restoreStatus();
      busy_ = false;
      return;
    }
  }

  if (erase() != 0) return releaseAndClose();

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
      restoreStatus();
      ctx_.host.repaint();
      if (result != 1) writeOptions = false;
    }

    // Code that is not compared with the target's flash is not known to be
    // there: a buffer the read-back area cannot hold, or a read-back that
    // fails, fails the run instead of passing an unverified target.
    if (writeOptions) {
      stepBegins(ctx_.report, "read-back (command 30)");
      const char* unverified = nullptr;
      ReadBackResult read;
      if (n <= kReadBackSize) read = readBack(ctx_, cmd::kReadTarget, n);
      if (read.quitting) {
        // Closing the window cut the read short, as it ends a block write.
        result = 0;
        writeOptions = false;
      } else if (n > kReadBackSize) {
        unverified = programtext::kCodeTooLongToVerify;
        stepFails(ctx_.report, format("%u bytes do not fit the read-back area", n));
      } else if (read.code != 0) {
        unverified = programtext::kCodeReadBackFailed;
        stepFails(ctx_.report, callAnswered("ICE_Read_Data", read.code));
      } else if (std::memcmp(code_.data(), ice_.readBack, n) != 0) {
        stepBegins(ctx_.report, "verify");
        stepFails(ctx_.report, firstDifference(code_.data(), ice_.readBack, n));
        if (ctx_.app.ports.messages) ctx_.app.ports.messages->beep(mb::kIconQuestion);
        messageByKeys(ctx_.app, textkey::kError, textkey::kChecksumFailed, mb::kIconError);
        busy_ = false;
        ctx_.link.disconnect();
        return;
      }
      if (unverified) {
        errorBoxWithText(ctx_.app, unverified);
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
  if (busy) return;
  if (!ctx.link.ice) {
    // Without the Link library's records no adapter can be reached.
    messageByKeys(ctx.app, textkey::kError, textkey::kTetherMissing, mb::kIconError);
    return;
  }
  busy = true;
  UpdateTargetRun(ctx, busy).run();
}

}  // namespace lw
