#pragma once
// Faults the emulated adapter injects, read from faults.ini in the state
// directory. docs/emulator.md lists every key with an example.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw::emu {

// The steps whose answers can be disturbed.
enum class Step : uint8_t { kConnect, kPartCheck, kErase, kBlockWrite, kRead, kIdentify };
inline constexpr std::size_t kStepCount = 6;
inline constexpr std::size_t kStatusStepCount = 4;  // connect .. block write answer with a status

// How an answer of a step goes wrong.
enum class AnswerFault : uint8_t {
  kNormal,
  kNone,      // no answer at all: an input read times out, a get-feature is stalled
  kWrongTag,  // the tag echo differs from the request's tag
  kShort,     // one byte shorter than the report length
  kLong,      // one byte longer than the report length
  kGarbage,   // random bytes (wrong tag, non-zero status, broken check)
};

struct Faults {
  std::array<std::optional<uint16_t>, kStatusStepCount> status{};  // answered instead of the real status
  std::array<AnswerFault, kStepCount> answer{};
  bool noTarget = false;
  bool wrongPart = false;
  std::optional<uint16_t> millivolts;     // measured supply instead of the target's
  uint32_t rejectReport = 0;              // 1-based data report that is stalled; 0: none
  uint32_t rejectTimes = 1;               // how often that report is stalled before it is taken
  std::optional<uint32_t> corruptAt;      // flash offset whose programmed byte comes out wrong
  std::optional<uint32_t> storedCorruptAt;  // offset of the stored off-line code that is kept wrong
  bool firmwareMismatch = false;
  bool noStorage = false;
  bool updateModeNeverAppears = false;
  bool swappedChecksumEcho = false;
  uint32_t vanishAfterReports = 0;        // the adapter leaves the bus after so many reports; 0: never
  bool accessDenied = false;              // listed on the bus, but opening it is refused (no udev rule)

  bool operator==(const Faults&) const = default;
};

std::string_view stepName(Step step);

// Reads faults.ini text. Unknown keys and bad values are reported in
// problems and otherwise ignored.
Faults parseFaults(std::string_view text, std::vector<std::string>& problems);

// The commented template written into a new state directory.
std::string faultTemplate();

}  // namespace lw::emu
