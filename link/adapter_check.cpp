#include "link/adapter_check.h"

#include "core/abi/link_abi.h"
#include "link/adapter_messages.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"
#include "link/run_report.h"
#include "core/ports/clock_port.h"

namespace lw {

namespace {
constexpr uint32_t kDetectPauseMs = 500;
}

int checkAdapter(ProgrammingContext& ctx, int mode) {
  if (mode != 0) {
    // An adapter that needs new firmware shows up under either of two
    // product ids; the update needs it open. Whether it opened is not
    // examined: the prompt decides what happens next.
    if (ctx.link.connect(kAdapterVendorId, kPidNeedsUpdateAlt, 0) != 0)
      ctx.link.connect(kAdapterVendorId, kPidNeedsUpdate, 0);
    ctx.host.showFirmwarePrompt(mode);
    return 0;
  }

  ctx.host.setStatusLine(languageTextOf(ctx.app, textkey::kDetectTether));
  ctx.app.ports.clock->sleepMs(kDetectPauseMs);

  int result = 0;
  uint32_t mismatch = 0;
  if (const int checked = ctx.link.checkFirmwareMismatch(&mismatch); checked != 0) {
    stepFails(ctx.report, callAnswered("ICE_Check_Firmware", checked));
  } else if (mismatch == 0) {
    const uint8_t storageFlag = ctx.link.ice->params[kIceStorageFlag - kIceParam0];
    if (storageFlag == 0) ctx.host.setUpdateProgrammerEnabled(false);
    result = 1;
  } else {
    stepFails(ctx.report, "the adapter's firmware does not match the Link library's");
    ctx.host.showFirmwarePrompt(0);
  }
  ctx.host.setStatusLine("");
  return result;
}

bool offerUpdateModeAdapter(ProgrammingContext& ctx) {
  if (ctx.app.state.firmwareUpdateRunning != 0) return false;  // that update's own device
  if (ctx.link.connect(kAdapterVendorId, kPidFirmwareUpdate, 0) != 0) return false;
  ctx.link.disconnect();
  ctx.host.setStatusLine("");
  ctx.host.showFirmwarePrompt(kStrandedPromptMode);
  return true;
}

}  // namespace lw
