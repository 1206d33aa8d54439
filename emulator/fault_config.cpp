#include "emulator/fault_config.h"

#include "core/text.h"
#include "emulator/ini_text.h"

namespace lw::emu {
namespace {

constexpr std::array<std::string_view, kStepCount> kStepNames = {"connect", "part_check", "erase",
                                                                 "block_write", "read", "identify"};

std::optional<AnswerFault> parseAnswerFault(std::string_view text) {
  const std::string t = toLowerAscii(text);
  if (t == "normal") return AnswerFault::kNormal;
  if (t == "none") return AnswerFault::kNone;
  if (t == "wrong-tag") return AnswerFault::kWrongTag;
  if (t == "short") return AnswerFault::kShort;
  if (t == "long") return AnswerFault::kLong;
  if (t == "garbage") return AnswerFault::kGarbage;
  return std::nullopt;
}

}  // namespace

std::string_view stepName(Step step) { return kStepNames[static_cast<std::size_t>(step)]; }

Faults parseFaults(std::string_view text, std::vector<std::string>& problems) {
  Faults f;
  const IniText ini = IniText::parse(text, "faults.ini", problems);
  for (const IniEntry& e : ini.entries()) {
    auto bad = [&](const char* expected) {
      problems.push_back(format("faults.ini:%d: %s: expected %s, found \"%s\"", e.line, e.key.c_str(), expected,
                                e.value.c_str()));
    };
    auto flag = [&](bool& out) {
      if (auto v = parseBool(e.value)) out = *v;
      else bad("yes or no");
    };
    auto number = [&](uint32_t max) -> std::optional<uint32_t> {
      auto v = parseUnsigned(e.value);
      if (!v || *v > max) {
        bad(max == 0xFFFFFFFFu ? "a number" : format("a number up to %u", max).c_str());
        return std::nullopt;
      }
      return v;
    };

    bool known = true;
    const std::size_t dot = e.key.find('.');
    if (dot != std::string::npos) {
      const std::string step = e.key.substr(0, dot);
      const std::string what = e.key.substr(dot + 1);
      std::size_t index = kStepCount;
      for (std::size_t i = 0; i < kStepCount; ++i)
        if (kStepNames[i] == step) index = i;
      if (index < kStepCount && what == "answer") {
        if (auto a = parseAnswerFault(e.value)) f.answer[index] = *a;
        else bad("normal, none, wrong-tag, short, long or garbage");
      } else if (index < kStatusStepCount && what == "status") {
        if (auto v = number(0xFFFF)) f.status[index] = static_cast<uint16_t>(*v);
      } else {
        known = false;
      }
    } else if (e.key == "no_target") {
      flag(f.noTarget);
    } else if (e.key == "wrong_part") {
      flag(f.wrongPart);
    } else if (e.key == "millivolts") {
      if (auto v = number(0xFFFF)) f.millivolts = static_cast<uint16_t>(*v);
    } else if (e.key == "reject_report") {
      if (auto v = number(0xFFFFFFFFu)) f.rejectReport = *v;
    } else if (e.key == "reject_times") {
      if (auto v = number(0xFFFFFFFFu)) f.rejectTimes = *v;
    } else if (e.key == "corrupt_at") {
      if (auto v = number(0xFFFFFFFFu)) f.corruptAt = *v;
    } else if (e.key == "stored_corrupt_at") {
      if (auto v = number(0xFFFFFFFFu)) f.storedCorruptAt = *v;
    } else if (e.key == "firmware_mismatch") {
      flag(f.firmwareMismatch);
    } else if (e.key == "no_storage") {
      flag(f.noStorage);
    } else if (e.key == "update_mode_never_appears") {
      flag(f.updateModeNeverAppears);
    } else if (e.key == "swapped_checksum_echo") {
      flag(f.swappedChecksumEcho);
    } else if (e.key == "access_denied") {
      flag(f.accessDenied);
    } else if (e.key == "vanish_after_reports") {
      if (auto v = number(0xFFFFFFFFu)) f.vanishAfterReports = *v;
    } else {
      known = false;
    }
    if (!known) problems.push_back(format("faults.ini:%d: unknown key \"%s\"", e.line, e.key.c_str()));
  }
  return f;
}

std::string faultTemplate() {
  return R"(# Faults the emulated adapter injects. Remove the '#' in front of a line to
# turn a fault on; docs/emulator.md describes each one. The file is read again
# whenever it changes.
#
# Status answered at a step instead of the real one (0 ok, 1 checksum,
# 2 voltage, 3 no response, 4 incomplete, 5 failed, 6 protected, 7 range):
#connect.status = 3
#part_check.status = 6
#erase.status = 5
#block_write.status = 1
#
# How the answer of a step goes wrong: normal, none, wrong-tag, short, long,
# garbage. Steps: connect, part_check, erase, block_write, read, identify.
#connect.answer = none
#
#no_target = yes
#wrong_part = yes
#millivolts = 3700
#reject_report = 3
#reject_times = 1
#corrupt_at = 0x100
#stored_corrupt_at = 0x100
#firmware_mismatch = yes
#no_storage = yes
#update_mode_never_appears = yes
#swapped_checksum_echo = yes
#vanish_after_reports = 40
#access_denied = yes
)";
}

}  // namespace lw::emu
