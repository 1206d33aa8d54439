#include "tests/programming/fake_adapter.h"

#include <algorithm>
#include <cstring>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "core/text.h"

namespace lw::test {

namespace {

FakeAdapter* current = nullptr;

int cConnect(uint32_t v, uint32_t p, uint32_t a) { return current->connect(v, p, a); }
int cDisconnect() { return current->disconnect(); }
int cCheckFirmware(uint32_t* m) { return current->checkFirmware(m); }
int cSend(uint32_t c, uint32_t f) { return current->sendCommand(c, f); }
int cWrite() { return current->write(); }
int cRead(uint32_t c, uint8_t* d, uint32_t a, uint32_t n) { return current->readData(c, d, a, n); }
int cCheckDevice() { return 0; }
const uint8_t* cResource(const char* type, uint32_t id, uint32_t* size) {
  if (std::string(type) != kFirmwareResourceType || id != kFirmwareResourceId || current->firmware.empty())
    return nullptr;
  *size = static_cast<uint32_t>(current->firmware.size());
  return current->firmware.data();
}

}  // namespace

FakeAdapter::FakeAdapter() : ice_(std::make_unique<IceRecord>()) {
  std::memset(ice_.get(), 0, sizeof(IceRecord));
  current = this;
}

FakeAdapter::~FakeAdapter() {
  if (current == this) current = nullptr;
}

LinkApi FakeAdapter::api() {
  LinkApi api;
  api.connectHidDevice = cConnect;
  api.disconnectHidDevice = cDisconnect;
  api.checkFirmware = cCheckFirmware;
  api.sendCommand = cSend;
  api.write = cWrite;
  api.readData = cRead;
  api.checkDevice = cCheckDevice;
  api.ice = ice_.get();
  api.hidDevice = &device_;
  api.moduleResource = cResource;
  return api;
}

void FakeAdapter::note(const std::string& line) {
  std::lock_guard lock(mutex_);
  log.push_back(line);
}

std::vector<std::string> FakeAdapter::logSnapshot() {
  std::lock_guard lock(mutex_);
  return log;
}

int FakeAdapter::count(const std::string& prefix) {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& l) {
    return l.compare(0, prefix.size(), prefix) == 0;
  }));
}

bool FakeAdapter::handleOk(uint32_t handle) {
  if (handle != 0 && handle == device_.handle) return true;
  ++staleHandleUses;
  return false;
}

int FakeAdapter::connect(uint32_t vid, uint32_t pid, uint32_t any) {
  std::lock_guard lock(mutex_);
  note(format("connect %X %X %u", vid, pid, any));
  Mode mode = Mode::None;
  uint8_t feature = normalFeatureLength;
  if (vid == 0 && pid == 0 && any == 1 && normalPresent) mode = Mode::Normal;
  if (vid == kAdapterVendorId && pid == kPidNeedsUpdateAlt && needsUpdatePresent) mode = Mode::NeedsUpdate;
  if (vid == kAdapterVendorId && pid == kPidFirmwareUpdate) {
    ++updateModeConnectAttempts;
    if (updateModePresent && updateModeConnectAttempts > updateModeAppearsAfter) {
      mode = Mode::UpdateMode;
      feature = updateFeatureLength;
    }
  }
  if (mode == Mode::None) return 1;
  mode_ = mode;
  device_.handle = ++nextHandle_;
  device_.featureReportLength = feature;
  device_.inputReportLength = inputLength;
  device_.outputReportLength = outputLength;
  inputs_.clear();
  blockOpen_ = false;
  announcedSize_ = 0;
  ended_ = false;
  return 0;
}

int FakeAdapter::disconnect() {
  std::lock_guard lock(mutex_);
  note("disconnect");
  device_.handle = 0;
  mode_ = Mode::None;
  inputs_.clear();
  return disconnectResult;
}

int FakeAdapter::checkFirmware(uint32_t* mismatchOut) {
  std::lock_guard lock(mutex_);
  note("checkFirmware");
  if (checkFirmwareResult != 0) return checkFirmwareResult;
  ice_->params[kIceStorageFlag - kIceParam0] = storageFlag;
  *mismatchOut = mismatch;
  return 0;
}

void FakeAdapter::queueAnswer(int command) {
  ScriptedAnswer a;
  auto& queue = answers[command];
  if (!queue.empty()) {
    a = queue.front();
    queue.pop_front();
  }
  if (a.silent) return;
  std::vector<uint8_t> report(inputLength, 0);
  report[1] = static_cast<uint8_t>(ice_->requestTag ^ (a.wrongTag ? 0x5A : 0));
  report[3] = static_cast<uint8_t>(a.status);
  report[4] = static_cast<uint8_t>(a.status >> 8);
  report[5] = static_cast<uint8_t>(a.millivolts);
  report[6] = static_cast<uint8_t>(a.millivolts >> 8);
  inputs_.emplace_back(a.readError, std::move(report));
}

int FakeAdapter::sendCommand(uint32_t command, uint32_t flag) {
  std::lock_guard lock(mutex_);
  note(format("send %u %02X %02X", command, ice_->params[0], ice_->params[1]));
  sentCommands.push_back(static_cast<int>(command));
  const int result = sendResults.count(static_cast<int>(command)) ? sendResults[static_cast<int>(command)] : 0;
  if (flag != 1) return 87;
  if (command == cmd::kConnectTarget || command == cmd::kCheckPart || command == cmd::kErase)
    queueAnswer(static_cast<int>(command));
  if (command == cmd::kEnterFirmwareUpdate && result == 0 && command9EntersUpdateMode) updateModePresent = true;
  return result;
}

int FakeAdapter::write() {
  std::lock_guard lock(mutex_);
  note(format("write %u %u", ice_->command, ice_->byteCount));
  if (writeResult != 0) return writeResult;
  BlockRecord block;
  block.command = ice_->command;
  block.address = ice_->address;
  block.byteCount = ice_->byteCount;
  block.sumLow = ice_->params[0];
  block.sumHigh = ice_->params[1];
  blocks.push_back(block);
  blockOpen_ = true;
  queueAnswer(ice_->command);
  return 0;
}

int FakeAdapter::readData(uint32_t command, uint8_t* destination, uint32_t address, uint32_t n) {
  std::lock_guard lock(mutex_);
  note(format("read %u %u at %X", command, n, address));
  if (readDataResult != 0) return readDataResult;
  const uint32_t limit = std::min<uint32_t>(n, kReadBackSize);
  if (command == cmd::kReadAdapterCode) {
    if (n > adapterCode.size()) return 31;  // more than is stored
    std::copy_n(adapterCode.begin(), limit, destination);
    return 0;
  }
  for (uint32_t i = 0; i < limit; ++i) destination[i] = address + i < flash.size() ? flash[address + i] : 0xFF;
  return 0;
}

uint32_t FakeAdapter::setFeature(uint32_t handle, const uint8_t* report, std::size_t length) {
  std::function<void()> reset;
  {
    std::lock_guard lock(mutex_);
    if (!handleOk(handle)) return err::kDeviceNotConnected;
    std::vector<uint8_t> copy(report, report + length);
    if (mode_ == Mode::UpdateMode) {
      if (announcedSize_ == 0 && copy[1] == 0x33) {
        announcedSize_ = (uint32_t{copy[5]} << 16) | (uint32_t{copy[6]} << 8) | copy[7];
        receivedFirmware.clear();
        firmwareReports.push_back(copy);
        return 0;
      }
      if (announcedSize_ != 0 && receivedFirmware.size() < announcedSize_) {
        if (rejectFirmwareDataTimes > 0) {
          --rejectFirmwareDataTimes;
          return err::kGenFailure;
        }
        const std::size_t take = std::min<std::size_t>(length - 1, announcedSize_ - receivedFirmware.size());
        receivedFirmware.insert(receivedFirmware.end(), copy.begin() + 1, copy.begin() + 1 + take);
        firmwareReports.push_back(copy);
        return 0;
      }
      firmwareReports.push_back(copy);
      if (copy[1] == 0x22) {
        const uint16_t sum = codeChecksum(receivedFirmware.data(), receivedFirmware.size());
        checksumAnswer_ = copy;
        checksumAnswer_[1] = static_cast<uint8_t>(swapChecksumEcho ? sum : sum >> 8);
        checksumAnswer_[2] = static_cast<uint8_t>(swapChecksumEcho ? sum >> 8 : sum);
        ended_ = true;
        return 0;
      }
      if (copy[1] == 0x44) {
        if (!resetAccepted) return err::kGenFailure;
        updateModePresent = false;
        reset = onReset;
      }
    } else {
      if (!blockOpen_) return err::kGenFailure;
      BlockRecord& block = blocks.back();
      const int index = static_cast<int>(block.reports.size());
      if (rejectBlockReportsFrom >= 0 && index >= rejectBlockReportsFrom) return err::kGenFailure;
      const std::size_t take = std::min<std::size_t>(128, block.byteCount - block.data.size());
      if (block.command == cmd::kWriteOfflineCode) {
        if (block.data.empty()) adapterCode.clear();
        const std::size_t before = adapterCode.size();
        adapterCode.insert(adapterCode.end(), copy.begin() + 1, copy.begin() + 1 + take);
        const auto stuck = static_cast<std::size_t>(adapterCodeStuckAt);
        if (adapterCodeStuckAt >= 0 && stuck >= before && stuck < adapterCode.size())
          adapterCode[stuck] = static_cast<uint8_t>(~adapterCode[stuck]);
      }
      if (block.command == cmd::kWriteCode) {
        for (std::size_t i = 0; i < take; ++i) {
          const std::size_t at = block.address + block.data.size() + i;
          if (at < flash.size() && static_cast<int>(at) != flashStuckAt) flash[at] = copy[1 + i];
        }
      }
      block.data.insert(block.data.end(), copy.begin() + 1, copy.begin() + 1 + take);
      block.reports.push_back(std::move(copy));
    }
  }
  if (reset) reset();
  return 0;
}

uint32_t FakeAdapter::getFeature(uint32_t handle, uint8_t* report, std::size_t length) {
  if (onEndAnswer) onEndAnswer();
  std::lock_guard lock(mutex_);
  if (!handleOk(handle)) return err::kDeviceNotConnected;
  if (mode_ != Mode::UpdateMode || !ended_) return err::kGenFailure;
  std::memcpy(report, checksumAnswer_.data(), std::min(length, checksumAnswer_.size()));
  return 0;
}

uint32_t FakeAdapter::readInput(uint32_t handle, uint8_t* report, std::size_t length, uint32_t timeoutMs) {
  std::lock_guard lock(mutex_);
  if (!handleOk(handle)) return err::kDeviceNotConnected;
  note(format("readInput %u", timeoutMs));
  blockOpen_ = false;
  if (inputs_.empty()) return err::kWaitTimeout;
  auto [code, bytes] = inputs_.front();
  inputs_.pop_front();
  if (code != 0) return code;
  std::memcpy(report, bytes.data(), std::min(length, bytes.size()));
  return 0;
}

void FakeAdapter::cancelIo(uint32_t) {
  std::lock_guard lock(mutex_);
  ++cancelCount;
}

uint32_t FakeAdapter::writeOutput(uint32_t handle, const uint8_t* report, std::size_t length) {
  std::lock_guard lock(mutex_);
  if (!handleOk(handle)) return err::kDeviceNotConnected;
  switchReports.emplace_back(report, report + length);
  if (length >= 2 && report[0] == 0x0C && report[1] == 0x44) updateModePresent = true;
  return 0;
}

}  // namespace lw::test
