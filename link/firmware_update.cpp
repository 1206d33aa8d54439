#include "link/firmware_update.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "link/adapter_messages.h"
#include "link/dispatching_pause.h"
#include "link/running_operation.h"
#include "link/hid_transport_port.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"
#include "link/update_event.h"
#include "core/ports/clock_port.h"
#include "core/ports/event_loop_port.h"

namespace lw {

namespace {

constexpr std::size_t kMaxSwitchReport = 65;
constexpr uint8_t kSwitchReportId = 0x0C;
constexpr uint8_t kSwitchCommand = 0x44;
constexpr uint8_t kStartReport = 0x33;
constexpr uint8_t kEndReport = 0x22;
constexpr uint8_t kResetReport = 0x44;
constexpr uint8_t kEnterUpdateParam0 = 0x20;
constexpr uint8_t kEnterUpdateParam1 = 0x86;
// The start report carries the image size in three bytes.
constexpr std::size_t kLargestImage = 0xFFFFFF;

bool stopping(const std::atomic<bool>* stop) { return stop && stop->load(); }

// Sends one report; a refused report is tried again every retry interval,
// up to the retry limit.
bool sendWithRetries(const DownloadChannel& ch, const std::vector<uint8_t>& report) {
  if (ch.hid.setFeature(ch.handle, report.data(), report.size()) == 0) return true;
  for (uint32_t retry = 0; retry < ch.reportRetries && !stopping(ch.stop); ++retry) {
    ch.clock.sleepMs(ch.retryIntervalMs);
    if (ch.hid.setFeature(ch.handle, report.data(), report.size()) == 0) return true;
  }
  return false;
}

}  // namespace

bool downloadFirmware(const DownloadChannel& ch, std::span<const uint8_t> image,
                      const std::function<void(int)>& postProgress) {
  if (ch.featureReportLength <= 8 || image.empty() || image.size() > kLargestImage) return false;
  const uint32_t size = static_cast<uint32_t>(image.size());
  const uint16_t checksum = codeChecksum(image.data(), image.size());

  std::vector<uint8_t> report(ch.featureReportLength, 0);
  report[1] = kStartReport;
  report[5] = static_cast<uint8_t>(size >> 16);
  report[6] = static_cast<uint8_t>(size >> 8);
  report[7] = static_cast<uint8_t>(size);
  if (ch.hid.setFeature(ch.handle, report.data(), report.size()) != 0) return false;

  postProgress(0);
  // The adapter erases its application area before it takes data.
  ch.clock.sleepMs((size / 512 + 1) * 25);

  // Data reports reuse one buffer: a shorter last report leaves the tail of
  // the one before it, which the adapter ignores (it knows the size).
  const std::size_t perReport = ch.featureReportLength - 1;
  uint32_t sent = 0;
  uint32_t lastPosted = 0;
  while (sent < size && !stopping(ch.stop)) {
    const uint32_t chunk = static_cast<uint32_t>(std::min<std::size_t>(perReport, size - sent));
    report[0] = 0;
    std::memcpy(report.data() + 1, image.data() + sent, chunk);
    if (!sendWithRetries(ch, report)) break;  // the checksum answer decides
    sent += chunk;
    const uint32_t percent = static_cast<uint32_t>(uint64_t{sent} * 100 / size);
    if (percent > lastPosted + 1) {
      postProgress(static_cast<int>(percent));
      lastPosted = percent;
    }
  }
  postProgress(100);
  postProgress(-1);

  report[0] = 0;
  report[1] = kEndReport;
  std::fill(report.begin() + 2, report.begin() + 9, 0);
  report[7] = 0x02;
  if (ch.hid.setFeature(ch.handle, report.data(), report.size()) != 0) return false;
  if (ch.hid.getFeature(ch.handle, report.data(), report.size()) != 0) return false;
  return report[1] == (checksum >> 8) && report[2] == (checksum & 0xFF);
}

struct FirmwareUpdater::Job {
  Job(const LinkApi& l, HidTransportPort& h, ClockPort& c, const FirmwareUpdateTimings& t)
      : link(l), hid(h), clock(c), timings(t) {}

  LinkApi link;
  HidTransportPort& hid;
  ClockPort& clock;
  FirmwareUpdateTimings timings;
  bool startupFlag = false;
  bool notificationsRegistered = false;
  std::vector<uint8_t> image;
  std::shared_ptr<UpdateEvent> event;
  std::shared_ptr<std::atomic<bool>> stop;
  std::shared_ptr<std::atomic<bool>> finished;
  // Posting into the UI thread: the prompt's end-of-download call and the
  // result and progress messages.
  std::function<void()> postDownloadEnded;
  std::function<void(unsigned, uintptr_t, intptr_t)> postMessage;
};

FirmwareUpdater::FirmwareUpdater(ProgrammingContext& ctx, FirmwareUpdateTimings timings)
    : ctx_(ctx), timings_(timings) {}

FirmwareUpdater::~FirmwareUpdater() {
  if (stop_) *stop_ = true;
  if (event_) event_->set();
  if (worker_.joinable()) worker_.join();
}

void FirmwareUpdater::waitForWorker() {
  if (worker_.joinable()) worker_.join();
}

void FirmwareUpdater::start(std::function<void()> downloadEnded) {
  EventLoopPort& loop = ctx_.loop;
  if (worker_.joinable()) {
    if (finished_ && !*finished_) {
      // An update is still running; this prompt has nothing to wait for.
      if (downloadEnded) loop.post(std::move(downloadEnded));
      return;
    }
    worker_.join();
  }

  // The flag is raised here rather than in the worker so that no device
  // arrival can slip in between the start and the worker's first step.
  ctx_.app.state.firmwareUpdateRunning = 1;
  event_ = std::make_shared<UpdateEvent>();
  stop_ = std::make_shared<std::atomic<bool>>(false);
  finished_ = std::make_shared<std::atomic<bool>>(false);

  auto job = std::make_shared<Job>(ctx_.link, ctx_.hid, *ctx_.app.ports.clock, timings_);
  job->startupFlag = ctx_.app.state.startupFirmwareUpdateFlag != 0;
  job->notificationsRegistered = ctx_.host.deviceNotificationsRegistered();
  const auto image = firmwareImage(ctx_.link);
  job->image.assign(image.begin(), image.end());
  job->event = event_;
  job->stop = stop_;
  job->finished = finished_;
  job->postDownloadEnded = [&loop, downloadEnded = std::move(downloadEnded)] {
    if (downloadEnded) loop.post(downloadEnded);
  };
  job->postMessage = [&loop, this, alive = std::weak_ptr<int>(alive_)](unsigned msg, uintptr_t w, intptr_t l) {
    loop.post([this, alive, msg, w, l] {
      if (!alive.expired()) handleMessage(msg, w, l);
    });
  };
  worker_ = std::thread([job] { runWorker(job); });
}

void FirmwareUpdater::runWorker(const std::shared_ptr<Job>& job) {
  Job& j = *job;
  const LinkApi& link = j.link;
  // The adapter leaves the bus and comes back in another mode, twice; with
  // other adapters plugged in, only the one being updated may be opened.
  j.hid.followLastDevice(true);
  auto finish = [&j](unsigned message, UpdateFailure failure = UpdateFailure{}) {
    j.hid.followLastDevice(false);
    j.postDownloadEnded();
    j.postMessage(message, static_cast<uintptr_t>(failure), 0);
    *j.finished = true;
  };

  // Without an image that can be sent the download cannot succeed: the
  // adapter is left running what it has instead of being switched into a
  // firmware-update mode it would not leave again.
  if (j.image.empty() || j.image.size() > kLargestImage) {
    link.disconnect();
    return finish(update_msg::kFailed, UpdateFailure::Download);
  }

  // Put the adapter into its firmware-update mode, unless it is there
  // already (left so by a download that failed): then nothing is open and
  // the update-mode device opens at once.
  if (link.openHandle() == 0 && link.connect(kAdapterVendorId, kPidFirmwareUpdate, 0) == 0) {
    link.disconnect();
  } else if (j.startupFlag) {
    const uint32_t handle = link.openHandle();
    const std::size_t length = link.hidDevice ? link.hidDevice->outputReportLength : 0;
    if (handle == 0 || length < 2 || length > kMaxSwitchReport) {
      link.disconnect();
      return finish(update_msg::kFailed, UpdateFailure::EnterUpdateMode);
    }
    uint8_t report[kMaxSwitchReport] = {kSwitchReportId, kSwitchCommand};
    // The adapter restarts on this report, so whether the write completes
    // tells nothing; opening the update-mode device below does.
    j.hid.writeOutput(handle, report, length);
    j.clock.sleepMs(j.timings.switchPauseMs);
    link.disconnect();
  } else {
    if (link.ice) {
      link.ice->params[0] = kEnterUpdateParam0;
      link.ice->params[1] = kEnterUpdateParam1;
    }
    if (link.send(cmd::kEnterFirmwareUpdate) != 0) {
      link.disconnect();
      return finish(update_msg::kFailed, UpdateFailure::EnterUpdateMode);
    }
    link.disconnect();
  }

  // Open the adapter in firmware-update mode.
  bool opened = false;
  for (uint32_t attempt = 0; attempt < j.timings.openAttempts && !*j.stop; ++attempt) {
    if (link.connect(kAdapterVendorId, kPidFirmwareUpdate, 0) == 0) {
      opened = true;
      break;
    }
    j.clock.sleepMs(j.timings.openIntervalMs);
  }
  if (!opened) return finish(update_msg::kFailed, UpdateFailure::UpdateModeNotFound);

  const uint32_t handle = link.openHandle();
  const DownloadChannel channel{j.hid,
                                j.clock,
                                handle,
                                link.hidDevice ? link.hidDevice->featureReportLength : std::size_t{0},
                                j.timings.reportRetries,
                                j.timings.retryIntervalMs,
                                j.stop.get()};
  const bool downloaded = downloadFirmware(channel, j.image, [&j](int percent) {
    j.postMessage(update_msg::kProgress, 0, percent);
  });
  if (!downloaded) {
    link.disconnect();
    return finish(update_msg::kFailed, UpdateFailure::Download);
  }

  // Restart the adapter into its application and wait for the update-mode
  // device to leave the bus.
  j.event->reset();
  std::vector<uint8_t> reset(channel.featureReportLength, 0);
  reset[1] = kResetReport;
  int r = j.hid.setFeature(handle, reset.data(), reset.size()) == 0 ? 1 : 0;
  if (j.notificationsRegistered) {
    // A stop signals the event too, but it may have done so before the reset
    // above; stopping is checked after the reset so it is never missed.
    if (!*j.stop && j.event->waitFor(j.timings.leaveWaitMs))
      r = 1;
    else
      j.hid.cancelIo(handle);
  } else {
    j.hid.cancelIo(handle);
  }
  const int c = link.disconnect();

  if (r != 1)
    finish(update_msg::kResetFailed);
  else if (c != 0)
    finish(update_msg::kCloseFailed);
  else
    finish(update_msg::kDone);
}

void FirmwareUpdater::updateDeviceLeft() {
  if (event_) event_->set();
}

void FirmwareUpdater::handleMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  AppState& state = ctx_.app.state;
  switch (message) {
    case update_msg::kResetFailed:
      messageByKeys(ctx_.app, textkey::kError, textkey::kResetToApFailed, mb::kIconError);
      state.firmwareUpdateRunning = 0;
      break;
    case update_msg::kCloseFailed:
      messageByKeys(ctx_.app, textkey::kError, textkey::kCloseTetherFailed, mb::kIconError);
      state.firmwareUpdateRunning = 0;
      break;
    case update_msg::kDone: {
      // The pause before the result keeps the prompt animating to its end
      // and the window painting, but takes no command meanwhile.
      const RunningOperation running(ctx_.host);
      ctx_.host.setStatusLine("");
      pauseDispatching(*ctx_.app.ports.clock, ctx_.loop, timings_.upgradedPauseMs);
      messageByKeys(ctx_.app, textkey::kPass, textkey::kTetherUpgraded, mb::kIconInformation);
      state.firmwareUpdateRunning = 0;
      state.startupFirmwareUpdateFlag = 0;
      break;
    }
    case update_msg::kProgress: {
      // The worker posts percentages (then -1); the event carries the
      // image's bytes, rounded up so that they give the same percentage.
      const uint64_t size = firmwareImage(ctx_.link).size();
      const int percent = static_cast<int>(lParam);
      const uint64_t done = percent < 0 ? size : std::min<uint64_t>(size, (size * static_cast<uint64_t>(percent) + 99) / 100);
      ctx_.host.reportProgress({OperationPhase::Firmware, done, size, percent < 0});
      break;
    }
    case update_msg::kFailed: {
      uint16_t text = textkey::kFirmwareDownloadFailed;
      switch (static_cast<UpdateFailure>(wParam)) {
        case UpdateFailure::EnterUpdateMode: text = textkey::kEnterUpdateModeFailed; break;
        case UpdateFailure::UpdateModeNotFound: text = textkey::kUpdateModeNotFound; break;
        case UpdateFailure::Download: text = textkey::kFirmwareDownloadFailed; break;
      }
      errorBoxWithText(ctx_.app, languageTextOf(ctx_.app, text));
      state.firmwareUpdateRunning = 0;
      break;
    }
    default:
      break;
  }
}

}  // namespace lw
