#pragma once
// What each adapter status means at each step of a programming run, and
// which "Error occured !" box (if any) tells the user.
#include <cstdint>

namespace lw {

struct AnswerReport;
struct AppContext;

enum class AdapterStep { Connect, PartCheck, Erase, BlockWrite };

namespace adapter_status {
inline constexpr uint16_t kOk = 0;
inline constexpr uint16_t kChecksumMismatch = 1;
inline constexpr uint16_t kVoltage = 2;
inline constexpr uint16_t kNoResponse = 3;
inline constexpr uint16_t kWrongPart = 5;
inline constexpr uint16_t kPartAccepted = 6;   // the part check: right part, flash read-protected
inline constexpr uint16_t kReadProtected = 6;  // a read: refused, the flash is read-protected
}  // namespace adapter_status

// The target voltage window of a step, in volts.
struct VoltageWindow {
  double low;
  double high;
};
inline constexpr VoltageWindow kConnectWindow{2.0, 3.6};
inline constexpr VoltageWindow kProgrammingWindow{1.8, 5.5};

// True when the millivolts, scaled by the single-precision factor 0.001,
// lie inside the window (ends included).
bool voltageInWindow(uint16_t millivolts, VoltageWindow window);

// Shows the box the status calls for at the step, if any. The part-check
// step's wrong-part message ("Target is not "<part>" !") is included.
// Status 0 shows nothing; callers decide what a status means for the run.
void reportAdapterStatus(AppContext& app, AdapterStep step, const AnswerReport& answer);

}  // namespace lw
