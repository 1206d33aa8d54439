#include "link/target_run.h"

#include "core/codes.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"
#include "link/adapter_access.h"
#include "link/adapter_check.h"
#include "link/adapter_messages.h"
#include "link/adapter_operations_host.h"
#include "link/adapter_status.h"
#include "link/programming_context.h"
#include "link/run_report.h"

namespace lw {

bool targetRunMayStart(ProgrammingContext& ctx, bool busy) {
  if (busy) return false;
  if (!ctx.link.ice) {
    // Without the Link library's records no adapter can be reached.
    messageByKeys(ctx.app, textkey::kError, textkey::kTetherMissing, mb::kIconError);
    return false;
  }
  return true;
}

TargetRun::TargetRun(ProgrammingContext& ctx, bool& busy) : ctx_(ctx), busy_(busy), ice_(*ctx.link.ice) {
  busy_ = true;
}

TargetRun::CommandAnswer TargetRun::sendAndRead(uint8_t command, uint8_t param0, uint8_t param1) {
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

void TargetRun::answerFailed(const CommandAnswer& a) {
  if (a.readResult != 0) stepFails(ctx_.report, unreadAnswer(a.readResult));
  else if (!a.tagMatches) stepFails(ctx_.report, wrongTag(a.report.tag, ice_.requestTag));
  else stepFails(ctx_.report, statusAnswer(a.report));
}

void TargetRun::restoreStatus() { ctx_.host.setStatusLine(statusAfter_.value_or(ctx_.host.loadedFilePath())); }

bool TargetRun::openAdapter() {
  ctx_.host.reportProgress({OperationPhase::Connect, 0, 0, false});
  if (ctx_.link.openHandle() != 0) ctx_.link.disconnect();

  stepBegins(ctx_.report, "opening the adapter");
  const int opened = ctx_.link.connect(0, 0, 1);
  ctx_.host.setStatusLine("");
  if (opened != 0) {
    stepFails(ctx_.report, callAnswered("ConnectHIDDevice", opened));
    if (!offerUpdateModeAdapter(ctx_)) reportAdapterNotOpened(ctx_.app, ctx_.link, opened);
    busy_ = false;
    ctx_.link.disconnect();
    return false;
  }
  stepBegins(ctx_.report, "the adapter's firmware check");
  if (checkAdapter(ctx_, 0) != 1) {
    restoreStatus();
    busy_ = false;
    ctx_.link.disconnect();
    return false;
  }
  return true;
}

bool TargetRun::connectTarget() {
  const PartRecord& part = ctx_.app.state.part;
  stepBegins(ctx_.report, "connect (command 37)");
  const CommandAnswer a = sendAndRead(cmd::kConnectTarget, part.adapterParamA, part.adapterParamB);
  if (!a.ok() || a.report.status != 0) answerFailed(a);
  if (!a.ok()) {
    ctx_.link.send(cmd::kReleaseTarget);
    busy_ = false;
    ctx_.link.disconnect();
    return false;
  }
  if (a.report.status != 0) {
    // The adapter stays open; the next operation closes it first.
    reportAdapterStatus(ctx_.app, AdapterStep::Connect, a.report);
    busy_ = false;
    return false;
  }
  return true;
}

bool TargetRun::checkPart() {
  ctx_.host.reportProgress({OperationPhase::Check, 0, 0, false});
  const uint16_t partIndex = ctx_.app.state.part.partIndex;
  stepBegins(ctx_.report, "part check (command 35)");
  const CommandAnswer a =
      sendAndRead(cmd::kCheckPart, static_cast<uint8_t>(partIndex & 0xFF), static_cast<uint8_t>(partIndex >> 8));
  const bool accepted = a.report.status == adapter_status::kOk || a.report.status == adapter_status::kPartAccepted;
  if (!a.ok() || !accepted) answerFailed(a);
  if (a.readResult == err::kInvalidData)
    messageByKeys(ctx_.app, textkey::kError, textkey::kTargetMissing, mb::kIconError);
  if (!a.ok()) {
    releaseAndClose();
    return false;
  }
  if (!accepted) {
    reportAdapterStatus(ctx_.app, AdapterStep::PartCheck, a.report);
    restoreStatus();
    busy_ = false;
    return false;
  }
  return true;
}

int TargetRun::erase() {
  ctx_.host.reportProgress({OperationPhase::Erase, 0, 0, false});
  stepBegins(ctx_.report, "erase (command 13)");
  makeRequestTag(ice_, *ctx_.app.ports.clock);
  if (const int sent = ctx_.link.send(cmd::kErase); sent != 0) {
    stepFails(ctx_.report, callAnswered("ICE_Send_Command", sent));
    return sent;
  }
  AnswerBuffer buffer{};
  if (const uint32_t read = readAnswer(ctx_, buffer); read != 0) {
    stepFails(ctx_.report, unreadAnswer(read));
    return err::kInvalidData;
  }
  const AnswerReport answer = parseAnswer(buffer);
  if (answer.tag != ice_.requestTag) {
    stepFails(ctx_.report, wrongTag(answer.tag, ice_.requestTag));
    return err::kInvalidData;
  }
  if (answer.status == 0) return 0;
  stepFails(ctx_.report, statusAnswer(answer));
  reportAdapterStatus(ctx_.app, AdapterStep::Erase, answer);
  return kEraseRefused;
}

bool TargetRun::release(bool passedSoFar) {
  // Only a run that has passed so far is decided here, and says so.
  if (passedSoFar) stepBegins(ctx_.report, "release (command 4)");
  const int released = ctx_.link.send(cmd::kReleaseTarget);
  if (passedSoFar && released != 0) stepFails(ctx_.report, callAnswered("ICE_Send_Command", released));
  return released == 0;
}

void TargetRun::end(bool passed, uint16_t okKey, uint16_t failedKey, const std::string& detail) {
  const uint16_t textKey = passed ? okKey : failedKey;
  const uint16_t captionKey = passed ? textkey::kPass : textkey::kError;
  const unsigned icon = passed ? mb::kIconInformation : mb::kIconError;
  if (detail.empty())
    messageByKeys(ctx_.app, captionKey, textKey, icon);
  else
    showBox(ctx_.app, languageTextOf(ctx_.app, textKey) + "\n" + detail, languageTextOf(ctx_.app, captionKey),
            mb::kOk | icon);

  ice_.params[0] = 0;
  ctx_.link.send(cmd::kEndRun);
  restoreStatus();
  busy_ = false;
  ctx_.link.disconnect();
}

void TargetRun::releaseAndClose() {
  ctx_.link.send(cmd::kReleaseTarget);
  restoreStatus();
  busy_ = false;
  ctx_.link.disconnect();
}

}  // namespace lw
