#pragma once
// How far an operation on the adapter has got, as one typed event: the phase
// it is in and the bytes done of the phase's total. The adapter operations
// report every step through this port; the window's progress bar, the
// console's bar, the command line's JSON lines and the gang table are views
// of the same events.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lw {

enum class OperationPhase : uint8_t {
  Connect,   // opening the adapter, its firmware check, connecting the target
  Check,     // checking that the target is the selected part
  Erase,     // erasing the target
  Program,   // a block into the target's flash or the adapter's off-line store
  Verify,    // reading code back to compare it
  Options,   // the option bytes into the target
  Read,      // reading the target's flash
  Firmware,  // new firmware into the adapter
};

inline constexpr std::array<std::string_view, 8> kPhaseNames = {"connect", "check",   "erase", "program",
                                                                "verify",  "options", "read",  "firmware"};

inline std::string_view phaseName(OperationPhase phase) { return kPhaseNames[static_cast<std::size_t>(phase)]; }

inline std::optional<OperationPhase> phaseNamed(std::string_view name) {
  for (std::size_t i = 0; i < kPhaseNames.size(); ++i)
    if (kPhaseNames[i] == name) return static_cast<OperationPhase>(i);
  return std::nullopt;
}

struct OperationProgress {
  OperationPhase phase = OperationPhase::Connect;
  uint64_t done = 0;   // bytes done so far
  uint64_t total = 0;  // bytes the phase moves; 0 for a phase that moves none
  bool ended = false;  // the phase's transfer is over; done says how far it got
  bool operator==(const OperationProgress&) const = default;
};

class OperationProgressPort {
 public:
  virtual ~OperationProgressPort() = default;
  // Called on the user-interface thread: a phase began, moved on or ended.
  virtual void reportProgress(const OperationProgress& progress) = 0;
};

}  // namespace lw
