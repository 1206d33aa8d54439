#include "emulator/adapter_emulator.h"

#include <algorithm>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "core/text.h"
#include "core/abi/link_abi.h"
#include "tether/firmware/adapter_firmware.h"

namespace lw::emu {

using namespace std::chrono_literals;

namespace {

constexpr auto kBlockIdleTimeout = 1000ms;
constexpr uint32_t kStorageCapacity = 0x40000;  // 256 KiB of off-line code
constexpr uint32_t kLargestBlock = 0x100000;
constexpr std::size_t kOfflineHeaderFixedPart = 69;
constexpr char kModelName[] = "LW-LINK";

// Supply windows of the adapter's own checks, in millivolts.
constexpr uint16_t kConnectLowMv = 2000, kConnectHighMv = 3600;
constexpr uint16_t kProgramLowMv = 1800, kProgramHighMv = 5500;

uint16_t sum16(std::span<const uint8_t> bytes) { return codeChecksum(bytes.data(), bytes.size()); }

uint16_t u16At(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t u32At(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

void reseal(std::vector<uint8_t>& report) {
  if (report.size() < wire::kRequestLength) return;
  const uint16_t check = wire::reportCheck(report);
  report[127] = static_cast<uint8_t>(check);
  report[128] = static_cast<uint8_t>(check >> 8);
}

constexpr Transfer stalled(Transfer t) {
  t.error = err::kGenFailure;
  return t;
}

}  // namespace

AdapterEmulator::AdapterEmulator(std::filesystem::path dir) : dir_(std::move(dir)) {
  const auto factory = adapterFirmwareImage();
  settings_.firmware = fwimage::versionOf(factory);
  firmwareImage_.assign(factory.begin(), factory.end());
  target_.fitToPart();
}

// ---- State directory -------------------------------------------------------

void AdapterEmulator::refresh(Instant) {
  const bool first = !loaded_;
  if (!dir_.ensureExists()) {
    unusable_ = "the directory cannot be created";
  } else if (const auto stray = dir_.strayFile()) {
    // A state file that is not a regular file can be neither read nor kept:
    // the adapter is off the bus until it is put right.
    unusable_ = *stray + ", not a regular file";
    dir_.log(unusable_ + "; the adapter is off the bus until it is one");
  } else {
    unusable_.clear();
  }
  const bool wasUsable = usable_;
  usable_ = unusable_.empty();
  if (!usable_) {
    // Off the bus, as if unplugged, but nothing is written: the settings
    // still say where the adapter is once the directory is put right.
    if (attached_) events_.push_back({false, vendorId(), productId(), attachment_});
    attached_ = false;
    resetTransient();
    return;
  }
  if (!wasUsable && loaded_ && settings_.connected && !attached_) arrive();
  loadAdapter(first);
  loadTarget(first);
  if (first || dir_.changed(file::kOfflineHeader)) loadBinary(file::kOfflineHeader, offlineHeader_);
  if (first || dir_.changed(file::kOfflineCode)) loadBinary(file::kOfflineCode, offlineCode_);
  if (first || dir_.changed(file::kFaults)) loadFaults();
  loadOfflineRun(first);
  loaded_ = true;
}

void AdapterEmulator::logProblems(std::vector<std::string>& problems) {
  for (const std::string& p : problems) dir_.log(p);
  problems.clear();
}

void AdapterEmulator::loadAdapter(bool first) {
  std::vector<std::string> problems;
  if (first || dir_.changed(file::kAdapterFirmware)) {
    if (auto image = dir_.read(file::kAdapterFirmware)) {
      firmwareImage_.assign(image->begin(), image->end());
    } else {
      dir_.write(file::kAdapterFirmware, std::string(firmwareImage_.begin(), firmwareImage_.end()));
    }
  }
  if (!first && !dir_.changed(file::kAdapter)) return;

  const bool wasAttached = attached_;
  const uint16_t oldPid = productId();
  if (auto text = dir_.read(file::kAdapter)) {
    // Keys the file leaves out take their first-day values.
    AdapterSettings parsed;
    parsed.firmware = fwimage::versionOf(adapterFirmwareImage());
    parseAdapterSettings(*text, parsed, problems);
    settings_ = parsed;
  } else {
    saveAdapter();
  }
  logProblems(problems);

  if (first) {
    attached_ = settings_.connected;
    attachment_ = attached_ ? 1 : 0;
    return;
  }
  // Someone else changed the file: plug, unplug or re-enumerate accordingly.
  arrivalDue_.reset();
  const bool wanted = settings_.connected;
  if (wasAttached == wanted && (!wanted || productId() == oldPid)) return;
  if (wasAttached) {
    events_.push_back({false, kAdapterVendorId, oldPid, attachment_});
    attached_ = false;
    resetTransient();
  }
  if (wanted) arrive();
}

void AdapterEmulator::loadTarget(bool first) {
  std::vector<std::string> problems;
  bool resized = false;
  if (first || dir_.changed(file::kTarget)) {
    if (auto text = dir_.read(file::kTarget)) {
      TargetMcu parsed;
      parseTargetSettings(*text, parsed, problems);
      target_.present = parsed.present;
      target_.partIndex = parsed.partIndex;
      target_.millivolts = parsed.millivolts;
      target_.readProtected = parsed.readProtected;
      target_.flashSizeOverride = parsed.flashSizeOverride;
      if (!partFacts(target_.partIndex).known && !target_.flashSizeOverride)
        problems.push_back(format("target.ini: Part index %u is not in the part database; assuming 64 KiB of flash",
                                  target_.partIndex));
    } else {
      saveTarget();
    }
    resized = true;
  }
  if (first || resized || dir_.changed(file::kTargetFlash)) {
    if (auto bytes = dir_.read(file::kTargetFlash)) {
      target_.flash.assign(bytes->begin(), bytes->end());
      if (target_.flash.size() != target_.flashSize())
        problems.push_back(format("target-flash.bin holds %zu bytes, the part has %u; fitted to the part",
                                  target_.flash.size(), target_.flashSize()));
    } else {
      target_.flash.assign(target_.flashSize(), 0xFF);
    }
  }
  if (first || resized || dir_.changed(file::kTargetOptions)) {
    if (auto text = dir_.read(file::kTargetOptions)) {
      if (auto bytes = parseOptionBytes(*text)) target_.options = *bytes;
      else problems.push_back("target-options.txt: expected bytes as two hex digits separated by spaces");
    } else {
      target_.options.assign(target_.optionByteCount(), 0xFF);
    }
  }
  const bool flashFits = target_.flash.size() == target_.flashSize();
  const bool optionsFit = target_.options.size() == target_.optionByteCount();
  target_.fitToPart();
  if (!flashFits || !dir_.exists(file::kTargetFlash)) saveFlash();
  if (!optionsFit || !dir_.exists(file::kTargetOptions)) saveOptions();
  logProblems(problems);
}

void AdapterEmulator::loadBinary(const char* name, std::vector<uint8_t>& into) {
  if (auto bytes = dir_.read(name)) into.assign(bytes->begin(), bytes->end());
  else into.clear();
}

void AdapterEmulator::loadFaults() {
  std::vector<std::string> problems;
  if (auto text = dir_.read(file::kFaults)) {
    faults_ = parseFaults(*text, problems);
  } else {
    faults_ = Faults{};
    dir_.write(file::kFaults, faultTemplate());
  }
  logProblems(problems);
}

void AdapterEmulator::saveAdapter() { dir_.write(file::kAdapter, formatAdapterSettings(settings_)); }
bool AdapterEmulator::saveTarget() { return dir_.write(file::kTarget, formatTargetSettings(target_)); }
bool AdapterEmulator::saveFlash() {
  return dir_.write(file::kTargetFlash, std::string(target_.flash.begin(), target_.flash.end()));
}
bool AdapterEmulator::saveOptions() { return dir_.write(file::kTargetOptions, formatOptionBytes(target_.options)); }

bool AdapterEmulator::saveTargetState() {
  // Each write is tried, so that whatever can be kept is.
  const bool flash = saveFlash();
  const bool options = saveOptions();
  const bool settings = saveTarget();
  if (flash && options && settings) return true;
  // The next refresh reads the target back from what the directory holds.
  for (const char* name : {file::kTargetFlash, file::kTargetOptions, file::kTarget}) dir_.forget(name);
  return false;
}

// ---- Bus -------------------------------------------------------------------

uint16_t AdapterEmulator::vendorId() const { return kAdapterVendorId; }

uint16_t AdapterEmulator::productId() const {
  switch (settings_.mode) {
    case Mode::kNormal: return kPidNormal;
    case Mode::kNeedsUpdate: return settings_.needsUpdatePid;
    case Mode::kFirmwareUpdate: return kPidFirmwareUpdate;
  }
  return kPidNormal;
}

ReportLengths AdapterEmulator::lengths() const {
  const uint8_t feature = settings_.mode == Mode::kNormal ? wire::kNormalFeatureLength : wire::kBootFeatureLength;
  return {feature, static_cast<uint8_t>(wire::kInputLength), static_cast<uint8_t>(wire::kOutputLength)};
}

std::vector<BusEvent> AdapterEmulator::takeBusEvents() {
  std::vector<BusEvent> out;
  out.swap(events_);
  return out;
}

std::vector<std::vector<uint8_t>> AdapterEmulator::takeInputReports(Instant now) {
  std::vector<std::vector<uint8_t>> out;
  while (!input_.empty() && input_.front().due <= now) {
    out.push_back(std::move(input_.front().bytes));
    input_.pop_front();
  }
  return out;
}

void AdapterEmulator::advance(Instant now) {
  if (arrivalDue_ && now >= *arrivalDue_) {
    arrivalDue_.reset();
    arrive();
  }
  if (block_ && now - block_->lastActivity >= kBlockIdleTimeout) {
    // The host stopped sending data: give up the block and say so.
    const PendingBlock b = *block_;
    block_.reset();
    queueAnswer(Step::kBlockWrite, b.tag, b.command, wire::status::kIncomplete, now);
  }
}

std::optional<Instant> AdapterEmulator::nextDue() const {
  std::optional<Instant> due = arrivalDue_;
  auto earlier = [&](Instant t) {
    if (!due || t < *due) due = t;
  };
  if (block_) earlier(block_->lastActivity + kBlockIdleTimeout);
  if (!input_.empty()) earlier(input_.front().due);
  return due;
}

void AdapterEmulator::arrive() {
  attached_ = true;
  ++attachment_;
  reportsHandled_ = 0;
  resetTransient();
  events_.push_back({true, vendorId(), productId(), attachment_});
}

void AdapterEmulator::resetTransient() {
  targetConnected_ = false;
  block_.reset();
  read_.reset();
  identifyAnswer_.reset();
  download_ = Download{};
  input_.clear();
}

void AdapterEmulator::leaveBus(Mode next, bool comeBack, Instant now) {
  if (attached_) events_.push_back({false, vendorId(), productId(), attachment_});
  attached_ = false;
  resetTransient();
  settings_.mode = next;
  if (!comeBack) settings_.connected = false;
  saveAdapter();
  if (comeBack) arrivalDue_ = now + std::chrono::milliseconds(settings_.reenumerateMs);
}

std::chrono::microseconds AdapterEmulator::controlTransfer(std::size_t length) const {
  if (!settings_.realisticTiming) return 0us;
  // One frame for the setup and status stages, one per 64-byte data packet.
  return std::chrono::milliseconds(1 + (length + 63) / 64);
}

Instant AdapterEmulator::after(Instant now, std::chrono::milliseconds processing) const {
  return settings_.realisticTiming ? now + processing + 1ms : now;
}

Transfer AdapterEmulator::beginTransfer(std::size_t length, Instant now) {
  Transfer t;
  t.latency = controlTransfer(length);
  if (!usable_ || !attached_) {
    t.error = err::kDeviceNotConnected;
    return t;
  }
  if (faults_.vanishAfterReports != 0 && reportsHandled_ >= faults_.vanishAfterReports) {
    dir_.log(format("fault vanish_after_reports: the adapter leaves the bus after %u reports", reportsHandled_));
    leaveBus(settings_.mode, false, now);
    t.error = err::kDeviceNotConnected;
    return t;
  }
  ++reportsHandled_;
  return t;
}

Transfer AdapterEmulator::setFeature(std::span<const uint8_t> report, Instant now) {
  Transfer t = beginTransfer(report.size(), now);
  if (t.error != 0) return t;
  if (report.size() != lengths().feature) {
    t.error = err::kInvalidParameter;
    return t;
  }
  switch (settings_.mode) {
    case Mode::kNormal: return normalSetFeature(report, now, t);
    case Mode::kFirmwareUpdate: return bootSetFeature(report, now, t);
    case Mode::kNeedsUpdate: break;
  }
  return stalled(t);
}

Transfer AdapterEmulator::getFeature(uint8_t reportId, std::vector<uint8_t>& answer, Instant now) {
  Transfer t = beginTransfer(lengths().feature, now);
  if (t.error != 0) return t;
  if (reportId != 0) return stalled(t);
  answer.assign(lengths().feature, 0);
  switch (settings_.mode) {
    case Mode::kNormal:
      if (read_) {
        nextReadAnswer(answer);
        disturbFeatureAnswer(Step::kRead, answer, t);
      } else if (identifyAnswer_) {
        answer = *identifyAnswer_;
        identifyAnswer_.reset();
        disturbFeatureAnswer(Step::kIdentify, answer, t);
      } else {
        wire::encodeIdleAnswer(answer);
      }
      return t;
    case Mode::kFirmwareUpdate:
      if (download_.endAnswer) answer = *download_.endAnswer;
      return t;
    case Mode::kNeedsUpdate: break;
  }
  return stalled(t);
}

Transfer AdapterEmulator::writeOutput(std::span<const uint8_t> report, Instant now) {
  Transfer t = beginTransfer(report.size(), now);
  if (t.error != 0) return t;
  t.latency = settings_.realisticTiming ? std::chrono::milliseconds((report.size() + 63) / 64) : 0us;
  if (report.size() != lengths().output) {
    t.error = err::kInvalidParameter;
    return t;
  }
  if (settings_.mode == Mode::kNeedsUpdate && report[0] == wire::kSwitchReportId && report[1] == wire::kSwitchCode) {
    leaveBus(Mode::kFirmwareUpdate, !faults_.updateModeNeverAppears, now);
    return t;
  }
  return stalled(t);
}

// ---- Normal mode -------------------------------------------------------------

uint16_t AdapterEmulator::supplyMillivolts() const {
  if (faults_.millivolts) return *faults_.millivolts;
  return target_.present && !faults_.noTarget ? target_.millivolts : 0;
}

bool AdapterEmulator::supplyOutside(uint16_t lowMv, uint16_t highMv) const {
  const uint16_t mv = supplyMillivolts();
  return mv < lowMv || mv > highMv;
}

bool AdapterEmulator::targetReachable() const {
  // Connected by command 37 and still there (it may have been taken away since).
  return targetConnected_ && target_.present && !faults_.noTarget;
}

bool AdapterEmulator::storageAvailable() const { return settings_.storage && !faults_.noStorage; }

void AdapterEmulator::queueAnswer(Step step, uint8_t tag, uint8_t command, uint16_t status, Instant due) {
  std::vector<uint8_t> report(wire::kInputLength, 0);
  wire::Answer a{tag, command, status, supplyMillivolts()};
  switch (faults_.answer[static_cast<std::size_t>(step)]) {
    case AnswerFault::kNone: return;
    case AnswerFault::kWrongTag: a.tag = static_cast<uint8_t>(tag + 1); break;
    default: break;
  }
  wire::encodeAnswer(a, report);
  switch (faults_.answer[static_cast<std::size_t>(step)]) {
    case AnswerFault::kShort: report.pop_back(); break;
    case AnswerFault::kLong: report.push_back(0); break;
    case AnswerFault::kGarbage:
      for (uint8_t& b : report) b = static_cast<uint8_t>(noise_());
      report[0] = 0;
      if (report[1] == tag) report[1] = static_cast<uint8_t>(tag ^ 0x5A);
      if (report[3] == 0 && report[4] == 0) report[3] = 0xA5;
      break;
    default: break;
  }
  input_.push_back({std::move(report), due});
}

void AdapterEmulator::disturbFeatureAnswer(Step step, std::vector<uint8_t>& answer, Transfer& t) {
  switch (faults_.answer[static_cast<std::size_t>(step)]) {
    case AnswerFault::kNormal: break;
    case AnswerFault::kNone: t.error = err::kGenFailure; break;
    case AnswerFault::kWrongTag:
      answer[3] = static_cast<uint8_t>(answer[3] + 1);
      reseal(answer);
      break;
    case AnswerFault::kShort: answer.pop_back(); break;
    case AnswerFault::kLong: answer.push_back(0); break;
    case AnswerFault::kGarbage:
      for (uint8_t& b : answer) b = static_cast<uint8_t>(noise_());
      answer[0] = 0;
      answer[1] = static_cast<uint8_t>(answer[1] == wire::kRequestMarker ? 0 : answer[1]);
      break;
  }
}

Transfer AdapterEmulator::normalSetFeature(std::span<const uint8_t> report, Instant now, Transfer t) {
  if (block_) {
    takeBlockData(report, now, t);
    return t;
  }
  const auto q = wire::decodeRequest(report);
  if (!q) return stalled(t);
  // A new request ends whatever answer the host did not fetch.
  read_.reset();
  identifyAnswer_.reset();

  switch (q->kind) {
    case wire::RequestKind::kCommand:
      return handleCommand(*q, now) ? t : stalled(t);

    case wire::RequestKind::kBlockWrite: {
      const uint8_t c = q->command;
      const bool known = c == cmd::kWriteCode || c == cmd::kWriteOptions || c == cmd::kWriteOfflineHeader ||
                         c == cmd::kWriteOfflineCode;
      const bool needsStorage = c == cmd::kWriteOfflineHeader || c == cmd::kWriteOfflineCode;
      if (!known || (needsStorage && !storageAvailable()) || q->byteCount > kLargestBlock) return stalled(t);
      PendingBlock b;
      b.command = c;
      b.tag = q->tag;
      b.address = q->address;
      b.byteCount = q->byteCount;
      b.sum = static_cast<uint16_t>(q->params[0] | (q->params[1] << 8));
      b.data.reserve(q->byteCount);
      b.lastActivity = now;
      block_ = std::move(b);
      if (q->byteCount == 0) finishBlock(now);
      return t;
    }

    case wire::RequestKind::kRead: {
      PendingRead r;
      r.tag = q->tag;
      const uint64_t end = static_cast<uint64_t>(q->address) + q->byteCount;
      if (q->command == cmd::kReadTarget) {
        if (!targetReachable()) r.status = wire::status::kNoResponse;
        else if (target_.readProtected) r.status = wire::status::kProtected;
        else if (end > target_.flash.size()) r.status = wire::status::kOutOfRange;
        else r.data.assign(target_.flash.begin() + q->address, target_.flash.begin() + static_cast<std::ptrdiff_t>(end));
      } else if (q->command == cmd::kReadAdapterCode) {
        if (!storageAvailable()) return stalled(t);
        if (end > offlineCode_.size()) r.status = wire::status::kOutOfRange;
        else r.data.assign(offlineCode_.begin() + q->address, offlineCode_.begin() + static_cast<std::ptrdiff_t>(end));
      } else {
        return stalled(t);
      }
      read_ = std::move(r);
      return t;
    }

    case wire::RequestKind::kIdentify: {
      wire::IdentifyAnswer a;
      a.tag = q->tag;
      fwimage::Version v = settings_.firmware;
      if (faults_.firmwareMismatch) {
        // Report the version before this one, as an adapter that missed an update would.
        if (v.minor > 0) --v.minor;
        else v = {static_cast<uint8_t>(v.major - 1), 0xFF};
      }
      a.firmwareMajor = v.major;
      a.firmwareMinor = v.minor;
      a.storage = storageAvailable() ? 1 : 0;
      a.targetConnected = targetConnected_ ? 1 : 0;
      a.millivolts = supplyMillivolts();
      a.storageCapacity = storageAvailable() ? kStorageCapacity : 0;
      std::copy(std::begin(kModelName), std::end(kModelName), a.model.begin());
      std::vector<uint8_t> answer(lengths().feature, 0);
      wire::encodeIdentifyAnswer(a, answer);
      identifyAnswer_ = std::move(answer);
      return t;
    }
  }
  return stalled(t);
}

bool AdapterEmulator::handleCommand(const wire::Request& q, Instant now) {
  const auto forced = [&](Step step) { return faults_.status[static_cast<std::size_t>(step)]; };
  switch (q.command) {
    case cmd::kConnectTarget: {
      uint16_t real = wire::status::kOk;
      if (!target_.present || faults_.noTarget) real = wire::status::kNoResponse;
      else if (supplyOutside(kConnectLowMv, kConnectHighMv)) real = wire::status::kVoltage;
      const uint16_t answered = forced(Step::kConnect).value_or(real);
      targetConnected_ = real == 0 && answered == 0;
      adapterParamA_ = q.params[0];
      adapterParamB_ = q.params[1];
      queueAnswer(Step::kConnect, q.tag, q.command, answered, after(now, 30ms));
      return true;
    }
    case cmd::kCheckPart: {
      uint16_t real = wire::status::kOk;
      const uint16_t requested = static_cast<uint16_t>(q.params[0] | (q.params[1] << 8));
      const uint16_t actual = faults_.wrongPart ? static_cast<uint16_t>(target_.partIndex + 1) : target_.partIndex;
      if (!targetReachable()) real = wire::status::kNoResponse;
      else if (requested != actual) real = wire::status::kFailed;
      else if (target_.readProtected) real = wire::status::kProtected;
      queueAnswer(Step::kPartCheck, q.tag, q.command, forced(Step::kPartCheck).value_or(real), after(now, 5ms));
      return true;
    }
    case cmd::kErase: {
      uint16_t real = wire::status::kOk;
      if (!targetReachable()) real = wire::status::kNoResponse;
      else if (supplyOutside(kProgramLowMv, kProgramHighMv)) real = wire::status::kVoltage;
      uint16_t answered = forced(Step::kErase).value_or(real);
      if (real == 0 && answered == 0) {
        target_.erase();
        // An erase the adapter could not keep is an erase that failed.
        if (!saveTargetState()) answered = wire::status::kFailed;
      }
      queueAnswer(Step::kErase, q.tag, q.command, answered, after(now, 60ms));
      return true;
    }
    case cmd::kReleaseTarget:
    case cmd::kEndRun:
      targetConnected_ = false;
      return true;
    case cmd::kEnterFirmwareUpdate:
      if (q.params[0] != wire::kEnterUpdateKey0 || q.params[1] != wire::kEnterUpdateKey1) return false;
      leaveBus(Mode::kFirmwareUpdate, !faults_.updateModeNeverAppears, now);
      return true;
    default:
      return false;
  }
}

void AdapterEmulator::takeBlockData(std::span<const uint8_t> report, Instant now, Transfer& t) {
  PendingBlock& b = *block_;
  ++b.reportIndex;
  if (faults_.rejectReport == b.reportIndex && b.rejections < faults_.rejectTimes) {
    ++b.rejections;
    --b.reportIndex;
    t.error = err::kGenFailure;
    return;
  }
  const std::size_t remaining = b.byteCount - b.data.size();
  const std::size_t n = std::min({remaining, wire::kBlockDataPerReport, report.size() - 1});
  b.data.insert(b.data.end(), report.begin() + 1, report.begin() + 1 + static_cast<std::ptrdiff_t>(n));
  b.lastActivity = now;
  if (b.data.size() == b.byteCount) finishBlock(now);
}

uint16_t AdapterEmulator::blockStatus(const PendingBlock& b) const {
  if (sum16(b.data) != b.sum) return wire::status::kChecksum;
  const uint64_t end = static_cast<uint64_t>(b.address) + b.byteCount;
  switch (b.command) {
    case cmd::kWriteCode:
    case cmd::kWriteOptions: {
      if (!targetReachable()) return wire::status::kNoResponse;
      if (supplyOutside(kProgramLowMv, kProgramHighMv)) return wire::status::kVoltage;
      const uint64_t size = b.command == cmd::kWriteCode ? target_.flash.size() : target_.options.size();
      return end > size ? wire::status::kOutOfRange : wire::status::kOk;
    }
    case cmd::kWriteOfflineHeader: {
      if (b.address != 0 || b.byteCount < kOfflineHeaderFixedPart) return wire::status::kOutOfRange;
      const std::span<const uint8_t> h(b.data);
      if (u16At(h, 2) != b.byteCount || u16At(h, 0) != sum16(h.subspan(2))) return wire::status::kChecksum;
      return wire::status::kOk;
    }
    case cmd::kWriteOfflineCode: {
      if (b.address != 0 || end > kStorageCapacity) return wire::status::kOutOfRange;
      // The stored header names the code it belongs to; a different code of
      // the same length is refused.
      if (offlineHeader_.size() >= kOfflineHeaderFixedPart && u32At(offlineHeader_, 19) == b.byteCount &&
          u16At(offlineHeader_, 23) != b.sum)
        return wire::status::kChecksum;
      return wire::status::kOk;
    }
    default: return wire::status::kFailed;
  }
}

bool AdapterEmulator::applyBlock(const PendingBlock& b) {
  switch (b.command) {
    case cmd::kWriteCode:
      target_.program(b.address, b.data, faults_.corruptAt);
      return saveTargetState();
    case cmd::kWriteOptions:
      std::copy(b.data.begin(), b.data.end(), target_.options.begin() + b.address);
      return saveTargetState();
    case cmd::kWriteOfflineHeader:
      // A job is stored only once its header is in the directory.
      if (!dir_.write(file::kOfflineHeader, std::string(b.data.begin(), b.data.end()))) {
        dir_.forget(file::kOfflineHeader);
        return false;
      }
      offlineHeader_ = b.data;
      startNewJob();
      return true;
    case cmd::kWriteOfflineCode: {
      std::vector<uint8_t> code = b.data;
      // A weak cell of the adapter's store: the byte keeps bit 0 flipped.
      if (faults_.storedCorruptAt && *faults_.storedCorruptAt < code.size()) code[*faults_.storedCorruptAt] ^= 0x01;
      if (!dir_.write(file::kOfflineCode, std::string(code.begin(), code.end()))) {
        dir_.forget(file::kOfflineCode);
        return false;
      }
      offlineCode_ = std::move(code);
      return true;
    }
    default: return true;
  }
}

void AdapterEmulator::finishBlock(Instant now) {
  const PendingBlock b = std::move(*block_);
  block_.reset();
  const uint16_t real = blockStatus(b);
  uint16_t answered = faults_.status[static_cast<std::size_t>(Step::kBlockWrite)].value_or(real);
  // What the adapter could not keep it reports as a failed write.
  if (real == 0 && answered == 0 && !applyBlock(b)) answered = wire::status::kFailed;
  const auto processing = b.command == cmd::kWriteOptions ? 20ms : 2ms;
  queueAnswer(Step::kBlockWrite, b.tag, b.command, answered, after(now, processing));
}

void AdapterEmulator::nextReadAnswer(std::vector<uint8_t>& answer) {
  PendingRead& r = *read_;
  wire::ReadAnswer a;
  a.tag = r.tag;
  a.status = r.status;
  a.offset = static_cast<uint32_t>(r.next);
  if (r.status == 0) {
    const std::size_t n = std::min(wire::kReadChunkSize, r.data.size() - r.next);
    std::copy_n(r.data.begin() + static_cast<std::ptrdiff_t>(r.next), n, a.data.begin());
    a.length = static_cast<uint16_t>(n);
    r.next += n;
  }
  wire::encodeReadAnswer(a, answer);
  if (r.status != 0 || r.next >= r.data.size()) read_.reset();
}

// ---- Firmware-update mode (the boot loader) ------------------------------

Transfer AdapterEmulator::bootSetFeature(std::span<const uint8_t> report, Instant now, Transfer t) {
  Download& d = download_;
  if (d.started && d.data.size() < d.size) {
    // Busy erasing the application area: the boot loader answers nothing yet.
    if (settings_.realisticTiming && now < d.erasedAt) return stalled(t);
    ++d.dataIndex;
    if (faults_.rejectReport == d.dataIndex && d.rejections < faults_.rejectTimes) {
      ++d.rejections;
      --d.dataIndex;
      return stalled(t);
    }
    const std::size_t n = std::min<std::size_t>(report.size() - 1, d.size - d.data.size());
    d.data.insert(d.data.end(), report.begin() + 1, report.begin() + 1 + static_cast<std::ptrdiff_t>(n));
    return t;
  }
  switch (report[1]) {
    case wire::kUpdateStart: {
      const uint32_t size = (static_cast<uint32_t>(report[5]) << 16) | (report[6] << 8) | report[7];
      if (size == 0 || size > fwimage::kMaximumSize) return stalled(t);
      d = Download{};
      d.started = true;
      d.size = size;
      d.data.reserve(size);
      d.erasedAt = now + std::chrono::milliseconds((size / 512 + 1) * 25);
      return t;
    }
    case wire::kUpdateEnd: {
      if (report[7] != wire::kUpdateEndSubcode) return stalled(t);
      const uint16_t sum = sum16(d.data);
      std::vector<uint8_t> answer(lengths().feature, 0);
      const uint8_t high = static_cast<uint8_t>(sum >> 8), low = static_cast<uint8_t>(sum);
      answer[1] = faults_.swappedChecksumEcho ? low : high;
      answer[2] = faults_.swappedChecksumEcho ? high : low;
      d.endAnswer = std::move(answer);
      return t;
    }
    case wire::kUpdateReset:
      finishDownload(now);
      return t;
    default:
      return stalled(t);
  }
}

void AdapterEmulator::finishDownload(Instant now) {
  Mode next = Mode::kNormal;
  if (download_.started) {
    // The old application was erased when the download started; only a
    // complete, intact image can take its place.
    std::string why = "the download is incomplete";
    const bool whole = download_.data.size() == download_.size && fwimage::isValidImage(download_.data, &why);
    if (whole && dir_.write(file::kAdapterFirmware, std::string(download_.data.begin(), download_.data.end()))) {
      firmwareImage_ = download_.data;
      settings_.firmware = fwimage::versionOf(firmwareImage_);
    } else {
      if (whole) why = std::string(file::kAdapterFirmware) + " could not be written";
      dir_.log("firmware update failed: " + why + "; the adapter starts in needs-update mode");
      next = Mode::kNeedsUpdate;
    }
  }
  leaveBus(next, true, now);
}

}  // namespace lw::emu
