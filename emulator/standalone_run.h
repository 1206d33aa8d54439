#pragma once
// The adapter's stand-alone run: each press of its start button programs the
// attached target from the stored off-line job (header and code) without a
// computer. offline-run.ini keeps how many targets the job has programmed
// and the next serial number, so a run survives a restart, and takes a
// `press_start = N` from a person (docs/emulator.md).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw::emu {

struct OfflineRunState {
  uint16_t jobChecksum = 0;    // header checksum of the job the counts belong to
  bool jobKnown = false;
  uint32_t programmed = 0;     // targets programmed with this job
  uint32_t nextSerial = 0;     // the serial number the next target gets
  uint32_t pressStart = 0;     // presses asked for in the file, not yet made
  std::string lastResult;      // what the last press did
};

void parseOfflineRun(std::string_view text, OfflineRunState& state, std::vector<std::string>& problems);
std::string formatOfflineRun(const OfflineRunState& state);

// What one press did.
struct StartOutcome {
  bool programmed = false;
  std::string message;         // "target 3 programmed ..." or why nothing was
  std::optional<uint32_t> serial;  // the serial number written, when one was
  uint32_t programmedCount = 0;    // targets programmed with the job so far
};

}  // namespace lw::emu
