#pragma once
// The adapter firmware update: on the user's consent a worker thread puts
// the adapter into its firmware-update mode, downloads the Link library's
// firmware image into it, checks the adapter's checksum, restarts it and
// reports the result to the UI thread.
//
// Ownership of the adapter: from the moment the worker starts until it has
// called DisconnectHIDDevice, the Link library's open device belongs to the
// worker. It tells the prompt that the download has ended (0x8007) only
// after that, so the code waiting behind the modal prompt cannot close or
// reopen the device under it; device arrivals are not acted on while the
// update runs. Every run ends with 0x8007 and exactly one result message.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

#include "link/link_api.h"

namespace lw {

struct ProgrammingContext;
class UpdateEvent;
class HidTransportPort;
class ClockPort;

// Messages between the worker, the main dialog and the prompt.
namespace update_msg {
inline constexpr unsigned kStart = 0x8001;         // prompt -> main dialog
inline constexpr unsigned kResetFailed = 0x8002;   // restart to application failed
inline constexpr unsigned kCloseFailed = 0x8003;   // closing the adapter failed
inline constexpr unsigned kDone = 0x8004;          // update done
inline constexpr unsigned kProgress = 0x8005;      // lParam: percent, then -1
inline constexpr unsigned kFailed = 0x8006;        // wParam: UpdateFailure, ended before the restart
inline constexpr unsigned kDownloadEnded = 0x8007; // worker -> prompt
}  // namespace update_msg

enum class UpdateFailure : uintptr_t {
  EnterUpdateMode = 1,     // command 9 refused or no switch report possible
  UpdateModeNotFound = 2,  // the adapter in firmware-update mode never opened
  Download = 3,            // a report was refused or the checksum did not match
};

struct FirmwareUpdateTimings {
  uint32_t openAttempts = 60;
  uint32_t openIntervalMs = 1000;
  uint32_t reportRetries = 500;
  uint32_t retryIntervalMs = 8;
  uint32_t switchPauseMs = 200;
  uint32_t leaveWaitMs = 20000;   // for the restarted adapter to leave the bus
  uint32_t upgradedPauseMs = 3000;
};

// The report traffic of one download on an open adapter in firmware-update
// mode; returns true when the adapter echoed the image's checksum.
// postProgress is called with 0, growing percentages, 100 and -1.
struct DownloadChannel {
  HidTransportPort& hid;
  ClockPort& clock;
  uint32_t handle;
  std::size_t featureReportLength;
  uint32_t reportRetries;
  uint32_t retryIntervalMs;
  const std::atomic<bool>* stop;  // may be null
};
bool downloadFirmware(const DownloadChannel& channel, std::span<const uint8_t> image,
                      const std::function<void(int)>& postProgress);

class FirmwareUpdater {
 public:
  explicit FirmwareUpdater(ProgrammingContext& ctx, FirmwareUpdateTimings timings = {});
  ~FirmwareUpdater();  // stops a running worker and waits for it
  FirmwareUpdater(const FirmwareUpdater&) = delete;
  FirmwareUpdater& operator=(const FirmwareUpdater&) = delete;

  // Message 0x8001: starts the worker for the prompt that asked. The worker
  // has downloadEnded run on the UI thread once it has let go of the adapter.
  void start(std::function<void()> downloadEnded);

  // UI thread: the adapter in firmware-update mode has left the bus.
  void updateDeviceLeft();

  // UI thread: messages 0x8002..0x8006 (results and progress). The worker
  // posts these itself; a dialog that receives them as window messages may
  // hand them here too.
  void handleMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

  // Waits until the current worker, if any, has finished.
  void waitForWorker();

 private:
  struct Job;
  static void runWorker(const std::shared_ptr<Job>& job);

  ProgrammingContext& ctx_;
  FirmwareUpdateTimings timings_;
  std::shared_ptr<UpdateEvent> event_;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::shared_ptr<std::atomic<bool>> finished_;
  std::thread worker_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // posted calls check it
};

}  // namespace lw
