#pragma once
// A scripted adapter behind the Link library's entry points and the HID
// transport, for the programming tests. One instance is current at a time
// (the entry points are plain functions, as in the real library).
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/hid_transport_port.h"
#include "link/link_api.h"

namespace lw::test {

// What the adapter answers to one command or block.
struct ScriptedAnswer {
  uint16_t status = 0;
  uint16_t millivolts = 0;
  bool wrongTag = false;
  uint32_t readError = 0;  // the answer read fails with this code
  bool silent = false;     // no answer at all: the read times out
};

struct BlockRecord {
  uint8_t command = 0;
  uint32_t address = 0;
  uint32_t byteCount = 0;
  uint8_t sumLow = 0, sumHigh = 0;
  std::vector<uint8_t> data;                 // data bytes received in reports
  std::vector<std::vector<uint8_t>> reports; // every report as sent
};

class FakeAdapter final : public HidTransportPort {
 public:
  FakeAdapter();
  ~FakeAdapter() override;

  LinkApi api();

  // --- what is plugged in ---
  bool normalPresent = true;       // opened by (0, 0, 1)
  bool needsUpdatePresent = false; // opened by (0x0E6A, 0x0FFF, 0)
  bool updateModePresent = false;  // opened by (0x0E6A, 0x030B, 0)
  int updateModeAppearsAfter = 0;  // failed opening attempts before it opens
  uint8_t normalFeatureLength = 129;
  uint8_t inputLength = 65;
  uint8_t outputLength = 65;
  uint8_t updateFeatureLength = 65;
  int disconnectResult = 0;

  // --- the Link library ---
  int checkFirmwareResult = 0;
  uint32_t mismatch = 0;
  uint8_t storageFlag = 1;
  std::map<int, int> sendResults;  // ICE_Send_Command result per command
  int writeResult = 0;
  int readDataResult = 0;
  bool command9EntersUpdateMode = true;
  std::map<int, std::deque<ScriptedAnswer>> answers;  // per command, default status 0
  std::vector<uint8_t> flash = std::vector<uint8_t>(0x10000, 0xFF);
  std::vector<uint8_t> adapterCode;  // the off-line code (command 28), read by command 33
  int adapterCodeStuckAt = -1;       // a stored byte that reads back inverted
  int flashStuckAt = -1;  // a flash byte that keeps its old value
  std::vector<uint8_t> firmware;  // resource "FW" 5002

  // --- HID behaviour ---
  int rejectBlockReportsFrom = -1;     // feature reports of blocks from this index on are refused
  int rejectFirmwareDataTimes = 0;     // next data reports refused this many times
  bool swapChecksumEcho = false;
  bool resetAccepted = true;
  std::function<void()> onReset;       // the adapter restarts (e.g. leaves the bus)
  std::function<void()> onEndAnswer;   // the checksum answer of a download is being read

  // --- what happened ---
  std::vector<std::string> log;        // "connect 0 0 1", "send 37 19 37", "write 25 300", ...
  std::vector<int> sentCommands;
  std::vector<BlockRecord> blocks;
  std::vector<std::vector<uint8_t>> firmwareReports;  // start, data, end, reset as sent
  std::vector<std::vector<uint8_t>> switchReports;
  int updateModeConnectAttempts = 0;
  int cancelCount = 0;
  int staleHandleUses = 0;             // HID calls on a handle that is not open
  std::vector<uint8_t> receivedFirmware;
  std::vector<uint8_t> lastUpdateCheck;  // Ice params when ICE_Check_Firmware was called

  IceRecord& ice() { return *ice_; }
  HidDeviceRecord& device() { return device_; }
  std::vector<std::string> logSnapshot();
  int count(const std::string& prefix);

  // HidTransportPort
  uint32_t setFeature(uint32_t handle, const uint8_t* report, std::size_t length) override;
  uint32_t getFeature(uint32_t handle, uint8_t* report, std::size_t length) override;
  uint32_t readInput(uint32_t handle, uint8_t* report, std::size_t length, uint32_t timeoutMs) override;
  void cancelIo(uint32_t handle) override;
  uint32_t writeOutput(uint32_t handle, const uint8_t* report, std::size_t length) override;

  // Entry points.
  int connect(uint32_t vid, uint32_t pid, uint32_t any);
  int disconnect();
  int checkFirmware(uint32_t* mismatchOut);
  int sendCommand(uint32_t command, uint32_t flag);
  int write();
  int readData(uint32_t command, uint8_t* destination, uint32_t address, uint32_t count);

 private:
  enum class Mode { None, Normal, NeedsUpdate, UpdateMode };
  void note(const std::string& line);
  void queueAnswer(int command);
  bool handleOk(uint32_t handle);

  std::unique_ptr<IceRecord> ice_;
  HidDeviceRecord device_{};
  std::recursive_mutex mutex_;
  Mode mode_ = Mode::None;
  uint32_t nextHandle_ = 100;
  std::deque<std::pair<uint32_t, std::vector<uint8_t>>> inputs_;  // (read result, report)
  bool blockOpen_ = false;
  // firmware download state
  uint32_t announcedSize_ = 0;
  bool ended_ = false;
  std::vector<uint8_t> checksumAnswer_;
};

}  // namespace lw::test
