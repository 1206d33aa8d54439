#include "link/update_programmer.h"

#include <cstring>
#include <vector>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "core/text.h"
#include "core/offline_settings.h"
#include "core/ports/hex_view_port.h"
#include "link/adapter_check.h"
#include "link/adapter_messages.h"
#include "link/adapter_operations_host.h"
#include "link/block_write.h"
#include "link/offline_header.h"
#include "link/programming_context.h"
#include "link/read_back.h"
#include "link/run_report.h"

namespace lw {

namespace {

class UpdateProgrammerRun {
 public:
  UpdateProgrammerRun(ProgrammingContext& ctx, bool& busy) : ctx_(ctx), busy_(busy) {}
  void run();

 private:
  void presetSettings();
  // Reads the adapter's stored code back and compares it with the code
  // copy: 1 when equal, 0 otherwise (a failed read-back included, which is
  // then reported as such).
  int compareWithAdapter(uint32_t n);
  void finish(int result, const std::string& keptStatus);

  ProgrammingContext& ctx_;
  bool& busy_;
  std::vector<uint8_t> code_;  // the code copy, n + 1 bytes
};

void UpdateProgrammerRun::presetSettings() {
  const PartRecord& part = ctx_.app.state.part;
  OfflineSettings& s = ctx_.host.offlineSettings();
  s = OfflineSettings{};
  s.startAddress = part.flashSize >= kSerialFieldBytes ? part.flashSize - kSerialFieldBytes : 0;
}

int UpdateProgrammerRun::compareWithAdapter(uint32_t n) {
  stepBegins(ctx_.report, "read-back (command 33)");
  uint16_t unverified = 0;  // the key of the reason the code was not compared
  int result = 0;
  ReadBackResult read;
  if (n <= kReadBackSize) read = readBack(ctx_, cmd::kReadAdapterCode, n);
  if (read.quitting) {
    ctx_.host.setStatusLine("");
    return 0;  // closing the window cut the read short, as it ends a block write
  }
  if (n > kReadBackSize) {
    unverified = textkey::kCodeTooLongToVerify;
    stepFails(ctx_.report, format("%u bytes do not fit the read-back area", n));
  } else if (read.code != 0) {
    // Any failed read-back is a failure, whatever number it returned.
    unverified = textkey::kAdapterCodeReadBackFailed;
    stepFails(ctx_.report, callAnswered("ICE_Read_Data", read.code));
  } else {
    result = std::memcmp(code_.data(), ctx_.link.ice->readBack, n) == 0 ? 1 : 0;
    if (result == 0) {
      stepBegins(ctx_.report, "verify");
      stepFails(ctx_.report, firstDifference(code_.data(), ctx_.link.ice->readBack, n));
    }
  }
  ctx_.host.setStatusLine("");
  if (unverified) {
    errorBoxWithText(ctx_.app, languageTextOf(ctx_.app, unverified));
  } else if (result == 0) {
    if (ctx_.app.ports.messages) ctx_.app.ports.messages->beep(mb::kIconQuestion);
    messageByKeys(ctx_.app, textkey::kError, textkey::kChecksumFailed, mb::kIconError);
  }
  return result;
}

void UpdateProgrammerRun::finish(int result, const std::string& keptStatus) {
  if (result == 1) stepBegins(ctx_.report, "closing the adapter");
  const int closed = ctx_.link.disconnect();
  if (result == 1 && closed != 0) stepFails(ctx_.report, callAnswered("DisconnectHIDDevice", closed));
  ctx_.host.repaint();
  ctx_.host.setStatusLine(keptStatus);
  if (result == 1 && closed == 0)
    messageByKeys(ctx_.app, textkey::kPass, textkey::kUpdateProgrammerOk, mb::kIconInformation);
  else
    messageByKeys(ctx_.app, textkey::kError, textkey::kUpdateProgrammerFailed, mb::kIconError);
  busy_ = false;
}

void UpdateProgrammerRun::run() {
  PartRecord& part = ctx_.app.state.part;

  // Unlike Update Target, an adapter still open is not closed first: the
  // Link library's connect replaces it.
  stepBegins(ctx_.report, "opening the adapter");
  const int opened = ctx_.link.connect(0, 0, 1);
  ctx_.host.setStatusLine("");
  if (opened != 0) {
    stepFails(ctx_.report, callAnswered("ConnectHIDDevice", opened));
    messageByKeys(ctx_.app, textkey::kError, textkey::kTetherMissing, mb::kIconError);
    busy_ = false;
    ctx_.link.disconnect();
    return;
  }
  stepBegins(ctx_.report, "the adapter's firmware check");
  if (checkAdapter(ctx_, 0) != 1) {
    ctx_.host.setStatusLine(ctx_.host.loadedFilePath());
    busy_ = false;
    ctx_.link.disconnect();
    return;
  }

  ctx_.host.readOptionCheckBoxes();
  presetSettings();
  stepBegins(ctx_.report, "the Off-line mode dialog");
  if (!ctx_.host.editOfflineSettings(ctx_.host.offlineSettings().startAddress)) {
    stepFails(ctx_.report, "cancelled");
    busy_ = false;  // the adapter stays open
    return;
  }

  stepBegins(ctx_.report, "the Code buffer");
  HexViewPort& view = ctx_.host.hexView();
  const intptr_t length = view.send(hexmsg::kData, 0, 0);
  const uint32_t n = length > 0 ? static_cast<uint32_t>(std::min<intptr_t>(length, INT32_MAX)) : 0;
  part.codeSize = n;
  if (n == 0) {
    stepFails(ctx_.report, "the Code buffer is empty");
    messageByKeys(ctx_.app, textkey::kFail, textkey::kFileSizeZero, mb::kIconError);
    busy_ = false;  // the adapter stays open
    return;
  }

  code_.assign(std::size_t{n} + 1, 0xFF);
  view.send(hexmsg::kData, reinterpret_cast<uintptr_t>(code_.data()), static_cast<intptr_t>(n));
  part.codeChecksum = codeChecksum(code_.data(), n);

  std::vector<uint8_t> header;
  if (ctx_.link.openHandle() != 0) header = buildOfflineHeader(part, ctx_.host.offlineSettings());
  stepBegins(ctx_.report, "off-line header write (command 27)");
  int result = blockWrite(ctx_, cmd::kWriteOfflineHeader, header.data(), 0, static_cast<uint32_t>(header.size()));
  if (result != 1) return finish(result, "");

  std::string kept;
  if (n <= part.flashSize) {
    kept = ctx_.host.statusLine();
    ctx_.host.setStatusLine("");
    stepBegins(ctx_.report, "off-line code write (command 28)");
    result = blockWrite(ctx_, cmd::kWriteOfflineCode, code_.data(), 0, n);
    ctx_.host.repaint();
    if (result != 1) return finish(result, kept);
  }

  ctx_.host.setStatusLine(languageTextOf(ctx_.app, textkey::kCompareWithTether));
  result = compareWithAdapter(n);
  finish(result, kept);
}

}  // namespace

void updateProgrammer(ProgrammingContext& ctx, bool& busy) {
  if (busy) return;
  if (!ctx.link.ice) {
    messageByKeys(ctx.app, textkey::kError, textkey::kTetherMissing, mb::kIconError);
    return;
  }
  busy = true;
  UpdateProgrammerRun(ctx, busy).run();
}

}  // namespace lw
