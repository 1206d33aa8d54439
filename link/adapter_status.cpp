#include "link/adapter_status.h"

#include "core/context/app_context.h"
#include "core/text.h"
#include "link/adapter_answer.h"
#include "link/adapter_messages.h"

namespace lw {

bool voltageInWindow(uint16_t millivolts, VoltageWindow window) {
  // The product is formed in single precision, so 3,600 mV gives a value a
  // little above 3.6 and 5,500 mV one a little above 5.5.
  const float volts = static_cast<float>(millivolts) * 0.001f;
  return !(volts < window.low || volts > window.high);
}

namespace {

void showVoltageCheck(AppContext& app, uint16_t millivolts, VoltageWindow window, BoxOwner owner) {
  if (!voltageInWindow(millivolts, window)) adapterErrorBox(app, textkey::kStatusVoltageOutOfRange, owner);
}

void showWrongPart(AppContext& app) {
  errorBoxWithText(app, format("%s \"%s\" !", languageTextOf(app, textkey::kTargetIsNot).c_str(),
                               app.state.part.partName.c_str()));
}

}  // namespace

void reportAdapterStatus(AppContext& app, AdapterStep step, const AnswerReport& answer) {
  using namespace adapter_status;
  const uint16_t status = answer.status;
  if (status == kOk) return;
  // Boxes of the connect and part-check steps belong to the main dialog;
  // those of the erase and the block writes have no owner.
  const bool ownedStep = step == AdapterStep::Connect || step == AdapterStep::PartCheck;
  const BoxOwner owner = ownedStep ? BoxOwner::MainWindow : BoxOwner::None;

  if (status == kChecksumMismatch) return adapterErrorBox(app, textkey::kStatusChecksumMismatch, owner);
  if (status == kNoResponse) return adapterErrorBox(app, textkey::kStatusDutNoResponse, owner);
  if (status == kVoltage) {
    if (step == AdapterStep::Connect) return showVoltageCheck(app, answer.millivolts, kConnectWindow, owner);
    if (step == AdapterStep::PartCheck) return;
    return showVoltageCheck(app, answer.millivolts, kProgrammingWindow, owner);
  }
  switch (step) {
    case AdapterStep::Connect:
      return adapterErrorBox(app, textkey::kStatusUnhandled, owner);
    case AdapterStep::PartCheck:
      if (status == kWrongPart) showWrongPart(app);
      return;
    case AdapterStep::Erase:
      return adapterErrorBox(app, textkey::kStatusEraseFailed, owner);
    case AdapterStep::BlockWrite:
      return;
  }
}

}  // namespace lw
