#pragma once
// The emulated adapter as the USB bus sees it: a HID device that changes its
// product id with its mode, takes feature and output reports, produces input
// reports, and drives an emulated target MCU. Its state lives in a directory
// of plain files (see docs/emulator.md); it is re-read when the files change
// and written after every change that matters, so that several processes can
// use the same directory one after another.
//
// Not thread-safe: the caller serialises every call.
#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "emulator/fault_config.h"
#include "emulator/state_dir.h"
#include "emulator/standalone_run.h"
#include "emulator/state_text.h"
#include "emulator/target_mcu.h"
#include "tether/wire/adapter_protocol.h"

namespace lw::emu {

using Clock = std::chrono::steady_clock;
using Instant = Clock::time_point;

struct BusEvent {
  bool arrived = false;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint32_t attachment = 0;  // which appearance of the device
};

struct ReportLengths {
  uint8_t feature = 0;
  uint8_t input = 0;
  uint8_t output = 0;
};

// Outcome of one host transfer: 0 when the device took it, err::kGenFailure
// when it stalled it, err::kDeviceNotConnected when it is not on the bus,
// err::kInvalidParameter for a report of the wrong length. latency is how
// long the transfer takes on the bus (0 unless the timing model is on).
struct Transfer {
  uint32_t error = 0;
  std::chrono::microseconds latency{0};
};

class AdapterEmulator {
 public:
  explicit AdapterEmulator(std::filesystem::path dir);

  // Reads every state file that changed since it was last read or written
  // (all of them the first time, creating missing ones).
  void refresh(Instant now);
  // Runs what is due: a pending re-enumeration, the time-out of a stalled
  // block transfer.
  void advance(Instant now);
  std::optional<Instant> nextDue() const;

  bool attached() const { return attached_; }
  uint32_t attachment() const { return attachment_; }
  uint16_t vendorId() const;
  uint16_t productId() const;
  ReportLengths lengths() const;

  std::vector<BusEvent> takeBusEvents();
  // Input reports due by now, oldest first.
  std::vector<std::vector<uint8_t>> takeInputReports(Instant now);

  // report[0] is the report ID; the length must be the report length.
  Transfer setFeature(std::span<const uint8_t> report, Instant now);
  // The device's answer in `answer` (its length may be wrong when a fault
  // asks for it).
  Transfer getFeature(uint8_t reportId, std::vector<uint8_t>& answer, Instant now);
  Transfer writeOutput(std::span<const uint8_t> report, Instant now);

  // The adapter's start button: programs the attached target from the
  // stored off-line job on its own (see emulator/standalone_run.h).
  StartOutcome pressStart();
  const OfflineRunState& offlineRun() const { return run_; }

  // Read-only views for tools and tests.
  const AdapterSettings& settings() const { return settings_; }
  const TargetMcu& target() const { return target_; }
  const Faults& faults() const { return faults_; }
  const std::vector<uint8_t>& offlineHeader() const { return offlineHeader_; }
  const std::vector<uint8_t>& offlineCode() const { return offlineCode_; }
  bool targetConnected() const { return targetConnected_; }
  const std::filesystem::path& directory() const { return dir_.path(); }

 private:
  struct PendingBlock {
    uint8_t command = 0;
    uint8_t tag = 0;
    uint32_t address = 0;
    uint32_t byteCount = 0;
    uint16_t sum = 0;
    std::vector<uint8_t> data;
    uint32_t reportIndex = 0;
    uint32_t rejections = 0;
    Instant lastActivity{};
  };
  struct PendingRead {
    uint8_t tag = 0;
    uint16_t status = 0;
    std::vector<uint8_t> data;
    std::size_t next = 0;
    bool done = false;
  };
  struct Download {
    bool started = false;  // the application area has been erased
    uint32_t size = 0;
    std::vector<uint8_t> data;
    uint32_t dataIndex = 0;
    uint32_t rejections = 0;
    Instant erasedAt{};
    std::optional<std::vector<uint8_t>> endAnswer;
  };
  struct QueuedInput {
    std::vector<uint8_t> bytes;
    Instant due;
  };

  // Loading and saving.
  void loadAdapter(bool first);
  void loadTarget(bool first);
  void loadBinary(const char* name, std::vector<uint8_t>& into);
  void loadFaults();
  void saveAdapter();
  // Each false when its file could not be written (the problem is logged).
  bool saveTarget();
  bool saveFlash();
  bool saveOptions();
  // The target's three files; when one fails they are read again at the
  // next refresh.
  bool saveTargetState();
  void logProblems(std::vector<std::string>& problems);
  void loadOfflineRun(bool first);
  bool saveOfflineRun();
  void startNewJob();
  // Why the stored job cannot program the target now; nothing when it can.
  std::optional<std::string> refuseStart() const;

  // Bus.
  Transfer beginTransfer(std::size_t length, Instant now);
  void leaveBus(Mode next, bool comeBack, Instant now);
  void arrive();
  void resetTransient();
  std::chrono::microseconds controlTransfer(std::size_t length) const;
  Instant after(Instant now, std::chrono::milliseconds processing) const;

  // Normal mode.
  Transfer normalSetFeature(std::span<const uint8_t> report, Instant now, Transfer t);
  bool handleCommand(const wire::Request& q, Instant now);
  void takeBlockData(std::span<const uint8_t> report, Instant now, Transfer& t);
  void finishBlock(Instant now);
  uint16_t blockStatus(const PendingBlock& b) const;
  // False when the result could not be kept in the state directory.
  bool applyBlock(const PendingBlock& b);
  void nextReadAnswer(std::vector<uint8_t>& answer);
  uint16_t supplyMillivolts() const;
  bool supplyOutside(uint16_t lowMv, uint16_t highMv) const;
  bool storageAvailable() const;
  bool targetReachable() const;
  void queueAnswer(Step step, uint8_t tag, uint8_t command, uint16_t status, Instant due);
  void disturbFeatureAnswer(Step step, std::vector<uint8_t>& answer, Transfer& t);

  // Firmware-update mode.
  Transfer bootSetFeature(std::span<const uint8_t> report, Instant now, Transfer t);
  void finishDownload(Instant now);

  StateDir dir_;
  bool loaded_ = false;
  bool usable_ = true;
  std::string unusable_;  // why the state directory cannot be used
  AdapterSettings settings_;
  TargetMcu target_;
  Faults faults_;
  std::vector<uint8_t> offlineHeader_;
  std::vector<uint8_t> offlineCode_;
  std::vector<uint8_t> firmwareImage_;
  OfflineRunState run_;

  bool attached_ = false;
  uint32_t attachment_ = 0;
  std::optional<Instant> arrivalDue_;
  std::vector<BusEvent> events_;
  std::deque<QueuedInput> input_;
  uint32_t reportsHandled_ = 0;

  bool targetConnected_ = false;
  uint8_t adapterParamA_ = 0;
  uint8_t adapterParamB_ = 0;
  std::optional<PendingBlock> block_;
  std::optional<PendingRead> read_;
  std::optional<std::vector<uint8_t>> identifyAnswer_;
  Download download_;
  std::mt19937 noise_{0x4C57};
};

}  // namespace lw::emu
