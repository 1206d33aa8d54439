// The emulated adapter's start button and the run state it keeps.
#include <algorithm>

#include "core/abi/offline_header_layout.h"
#include "core/byte_sum.h"
#include "core/offline_settings.h"
#include "core/text.h"
#include "emulator/adapter_emulator.h"

namespace lw::emu {

namespace {

// The adapter's own supply window for programming, as for commands 13, 25, 26.
constexpr uint16_t kProgramLowMv = 1800, kProgramHighMv = 5500;

uint32_t readLe(const std::vector<uint8_t>& b, std::size_t at, std::size_t n) {
  uint32_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(b[at + i]) << (8 * i);
  return v;
}

// A header whose own checksum and length hold.
bool headerIntact(const std::vector<uint8_t>& h) {
  using namespace offlinehdr;
  if (h.size() < kFixedSize || readLe(h, kLength, 2) != h.size()) return false;
  if (h[kFormat] != kFormatValue || kFixedSize + h[kOptionCount] != h.size()) return false;
  return readLe(h, kChecksum, 2) == static_cast<uint16_t>(byteSum(h.data(), h.size()) - h[0] - h[1]);
}

std::string serialText(const std::vector<uint8_t>& h) {
  const auto begin = h.begin() + offlinehdr::kSerialString;
  const auto end = std::find(begin, begin + kSerialStringBytes, uint8_t{0});
  return codePageToUtf8(std::string(begin, end));
}

}  // namespace

void AdapterEmulator::loadOfflineRun(bool first) {
  std::vector<std::string> problems;
  if (first || dir_.changed(file::kOfflineRun)) {
    OfflineRunState parsed;
    if (auto text = dir_.read(file::kOfflineRun)) parseOfflineRun(*text, parsed, problems);
    run_ = parsed;
  }
  logProblems(problems);
  // Counts that belong to another job (or none) start again with this one.
  const bool intact = headerIntact(offlineHeader_);
  const uint16_t checksum = intact ? static_cast<uint16_t>(readLe(offlineHeader_, offlinehdr::kChecksum, 2)) : 0;
  if (intact && (!run_.jobKnown || run_.jobChecksum != checksum)) {
    const uint32_t presses = run_.pressStart;
    startNewJob();
    run_.pressStart = presses;
  }
  if (run_.pressStart > 0) {
    const uint32_t presses = run_.pressStart;
    run_.pressStart = 0;
    for (uint32_t i = 0; i < presses; ++i) pressStart();
    saveOfflineRun();  // the presses asked for are made: press_start back to 0
  }
  if (!dir_.exists(file::kOfflineRun) && intact) saveOfflineRun();
}

bool AdapterEmulator::saveOfflineRun() { return dir_.write(file::kOfflineRun, formatOfflineRun(run_)); }

void AdapterEmulator::startNewJob() {
  run_ = OfflineRunState{};
  if (headerIntact(offlineHeader_)) {
    run_.jobKnown = true;
    run_.jobChecksum = static_cast<uint16_t>(readLe(offlineHeader_, offlinehdr::kChecksum, 2));
    run_.nextSerial = readLe(offlineHeader_, offlinehdr::kSerialValue, 4);
  }
  saveOfflineRun();
}

std::optional<std::string> AdapterEmulator::refuseStart() const {
  using namespace offlinehdr;
  const std::vector<uint8_t>& h = offlineHeader_;
  if (!usable_) return "the state directory cannot be used: " + unusable_;
  if (settings_.mode != Mode::kNormal) return "the adapter is not in normal mode";
  if (!storageAvailable()) return "the adapter holds no off-line job (no storage)";
  if (h.empty()) return "no off-line job is stored";
  if (!headerIntact(h)) return "the stored off-line header is damaged (checksum or length)";
  const uint32_t n = readLe(h, kCodeLength, 4);
  if (offlineCode_.size() != n || codeChecksum(offlineCode_.data(), offlineCode_.size()) != readLe(h, kCodeChecksum, 2))
    return format("the stored code does not match the header (%zu bytes stored, %u expected)", offlineCode_.size(), n);
  const uint16_t maxCounter = static_cast<uint16_t>(readLe(h, kMaxCounter, 2));
  if (maxCounter != 0 && run_.programmed >= maxCounter)
    return format("the max counter is reached (%u of %u targets programmed)", run_.programmed, maxCounter);

  if (!target_.present || faults_.noTarget) return "no target answers";
  for (const Step step : {Step::kConnect, Step::kPartCheck, Step::kErase, Step::kBlockWrite})
    if (const auto forced = faults_.status[static_cast<std::size_t>(step)]; forced && *forced != 0)
      return format("the %s step answers status %u (faults.ini)", std::string(stepName(step)).c_str(), *forced);
  const uint16_t part = static_cast<uint16_t>(readLe(h, kPartIndex, 2));
  const uint16_t actual = faults_.wrongPart ? static_cast<uint16_t>(target_.partIndex + 1) : target_.partIndex;
  if (part != actual) return format("the target is part %u, the job is for part %u", actual, part);
  if (readLe(h, kDeviceId, 4) != partFacts(actual).deviceId)
    return format("the target's device identifier is 0x%08X, the job's 0x%08X", partFacts(actual).deviceId,
                  readLe(h, kDeviceId, 4));
  if (supplyOutside(kProgramLowMv, kProgramHighMv))
    return format("the target's supply (%u mV) is out of range", supplyMillivolts());
  if (n > target_.flash.size()) return format("the code (%u bytes) is larger than the target's flash", n);
  if (h[kOptionCount] != target_.options.size())
    return format("the job has %u option bytes, the target %zu", h[kOptionCount], target_.options.size());
  if (h[kFlags] & offlineflag::kSerialEnabled) {
    const uint64_t end = uint64_t{readLe(h, kStartAddress, 4)} + kSerialFieldBytes;
    if (end > target_.flash.size()) return "the serial number's address lies outside the target's flash";
  }
  return std::nullopt;
}

StartOutcome AdapterEmulator::pressStart() {
  using namespace offlinehdr;
  StartOutcome out;
  if (const auto refused = refuseStart()) {
    out.message = "nothing programmed: " + *refused;
    out.programmedCount = run_.programmed;
    run_.lastResult = out.message;
    dir_.note("start button: " + out.message);
    if (run_.jobKnown) saveOfflineRun();
    return out;
  }
  const std::vector<uint8_t>& h = offlineHeader_;
  const uint8_t flags = h[kFlags];
  const uint32_t serialAt = readLe(h, kStartAddress, 4);

  // The image: the code over erased flash, the serial field (the 12 string
  // bytes, then the number) in place of whatever the code holds there.
  std::vector<uint8_t> image(target_.flash.size(), 0xFF);
  std::copy(offlineCode_.begin(), offlineCode_.end(), image.begin());
  if (flags & offlineflag::kSerialEnabled) {
    std::copy_n(h.begin() + kSerialString, kSerialStringBytes, image.begin() + serialAt);
    for (std::size_t i = 0; i < 4; ++i)
      image[serialAt + kSerialStringBytes + i] = static_cast<uint8_t>(run_.nextSerial >> (8 * i));
  }
  target_.erase();
  target_.program(0, image, faults_.corruptAt);
  std::copy_n(h.begin() + kOptionBytes, h[kOptionCount], target_.options.begin());
  const bool kept = saveTargetState();

  const uint32_t target = run_.programmed + 1;
  if (!kept) {
    // A target whose files could not be written is not counted, and keeps
    // its serial number for the next one.
    out.message = format("target %u could not be stored in the state directory (see %s)", target, file::kLog);
  } else if (target_.flash != image) {
    // A target that fails its verify keeps its serial number for the next one.
    const auto bad = std::mismatch(image.begin(), image.end(), target_.flash.begin()).first - image.begin();
    out.message = format("target %u failed its verify at 0x%08X", target, static_cast<uint32_t>(bad));
  } else {
    out.programmed = true;
    run_.programmed = target;
    std::string what = format("target %u programmed", target);
    if (flags & offlineflag::kSerialEnabled) {
      out.serial = run_.nextSerial;
      what += format(", serial \"%s\" 0x%08X at 0x%08X", serialText(h).c_str(), run_.nextSerial, serialAt);
      if (flags & offlineflag::kAutoIncrement) ++run_.nextSerial;
    }
    const uint16_t maxCounter = static_cast<uint16_t>(readLe(h, kMaxCounter, 2));
    if (maxCounter != 0) what += format(" (%u of %u)", target, maxCounter);
    out.message = what;
  }
  run_.lastResult = out.message;
  if (!saveOfflineRun() && out.programmed) {
    // Counts the directory does not keep would hand the same serial number
    // out again to the next process that presses the button.
    out.programmed = false;
    out.message += format("; but %s could not be written, so the count and serial number are not kept",
                          file::kOfflineRun);
  }
  out.programmedCount = run_.programmed;
  dir_.note("start button: " + out.message);
  return out;
}

}  // namespace lw::emu
