#include "link/adapter_operations.h"

#include "link/adapter_check.h"
#include "link/device_paths.h"
#include "link/running_operation.h"
#include "link/adapter_operations_host.h"
#include "link/update_programmer.h"
#include "link/update_target.h"

namespace lw {

AdapterOperations::AdapterOperations(const ProgrammingContext& ctx, FirmwareUpdateTimings timings)
    : ctx_(ctx), updater_(ctx_, timings) {
  ctx_.report = &report_;
}

void AdapterOperations::updateTarget() {
  const RunningOperation running(ctx_.host);
  lw::updateTarget(ctx_, busy_);
}

void AdapterOperations::updateProgrammer() {
  const RunningOperation running(ctx_.host);
  lw::updateProgrammer(ctx_, busy_);
}

namespace {
uint32_t wholeFlashUnlessGiven(const ProgrammingContext& ctx, uint32_t byteCount) {
  return byteCount != 0 ? byteCount : ctx.app.state.part.flashSize;
}
}  // namespace

void AdapterOperations::readTarget(uint32_t byteCount) {
  const RunningOperation running(ctx_.host);
  lw::readTarget(ctx_, busy_, wholeFlashUnlessGiven(ctx_, byteCount), findings_);
}

void AdapterOperations::verifyTarget() {
  const RunningOperation running(ctx_.host);
  lw::verifyTarget(ctx_, busy_, findings_);
}

void AdapterOperations::eraseTarget() {
  const RunningOperation running(ctx_.host);
  lw::eraseTarget(ctx_, busy_);
}

void AdapterOperations::blankCheck(uint32_t byteCount) {
  const RunningOperation running(ctx_.host);
  lw::blankCheck(ctx_, busy_, wholeFlashUnlessGiven(ctx_, byteCount), findings_);
}

int AdapterOperations::checkAdapter(int mode) { return lw::checkAdapter(ctx_, mode); }

bool AdapterOperations::offerUpdateModeAdapter() { return lw::offerUpdateModeAdapter(ctx_); }

void AdapterOperations::startupProbe() {
  AppState& state = ctx_.app.state;
  const int opened = ctx_.link.connect(kAdapterVendorId, kPidNeedsUpdateAlt, 0);
  ctx_.host.setStatusLine("");
  if (opened == 0) {
    state.startupFirmwareUpdateFlag = 1;
    checkAdapter(state.startupFirmwareUpdateFlag);
  } else if (ctx_.link.connect(0, 0, 1) == 0) {
    checkAdapter(state.startupFirmwareUpdateFlag);
  } else {
    lw::offerUpdateModeAdapter(ctx_);
  }
  ctx_.link.disconnect();
}

void AdapterOperations::onDeviceArrival(std::string_view path) {
  AppState& state = ctx_.app.state;
  const AdapterPath kind = classifyDevicePath(path);
  // While a firmware update or a programming run holds the adapter, a newly
  // arrived one is not opened: opening it would close the device in use.
  const bool adapterInUse = state.firmwareUpdateRunning != 0 || busy_;
  if (!adapterInUse) {
    if (kind == AdapterPath::Normal) {
      const int opened = ctx_.link.connect(0, 0, 1);
      ctx_.host.setStatusLine("");
      if (opened == 0) checkAdapter(0);
      ctx_.link.disconnect();
    } else if (kind == AdapterPath::NeedsUpdate) {
      ctx_.host.setStatusLine("");
      state.startupFirmwareUpdateFlag = 1;
      checkAdapter(state.startupFirmwareUpdateFlag);
    } else if (kind == AdapterPath::UpdateMode) {
      lw::offerUpdateModeAdapter(ctx_);
      ctx_.link.disconnect();
    }
  }
  const std::string file = ctx_.host.loadedFilePath();
  if (!file.empty()) ctx_.host.setStatusLine(file);
}

void AdapterOperations::onDeviceRemoval(std::string_view path) {
  const std::string file = ctx_.host.loadedFilePath();
  if (!file.empty()) ctx_.host.setStatusLine(file);
  if (classifyDevicePath(path) == AdapterPath::UpdateMode && ctx_.app.state.firmwareUpdateRunning != 0)
    updater_.updateDeviceLeft();
}

void AdapterOperations::startFirmwareUpdate(std::function<void()> downloadEnded) {
  updater_.start(std::move(downloadEnded));
}

void AdapterOperations::handleUpdateMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  updater_.handleMessage(message, wParam, lParam);
}

}  // namespace lw
