#pragma once
// The steps every operation on the target shares with Update Target, in its
// order and with its messages: open the adapter and check its firmware,
// connect the target (command 37), check that it is the selected part (35),
// erase it (13), release it (4) and end the run (8). Each step that fails
// reports as Update Target does and leaves the adapter, the status line and
// the busy flag as Update Target leaves them on that path.
#include <cstdint>
#include <optional>
#include <string>

#include "link/adapter_answer.h"

namespace lw {

struct IceRecord;
struct ProgrammingContext;

// Whether a run may start: not while another holds the busy flag, and not
// without the Link library's records (then "Tether is not exist !" says so).
bool targetRunMayStart(ProgrammingContext& ctx, bool busy);

// erase()'s result when the adapter answered with a status other than 0.
inline constexpr int kEraseRefused = 21;

class TargetRun {
 public:
  // busy is set for the run's whole life; every way out clears it.
  TargetRun(ProgrammingContext& ctx, bool& busy);

  // The answer to a command that has just been sent. It only counts when it
  // was read and carries the tag of this request.
  struct CommandAnswer {
    uint32_t readResult = 0;
    bool tagMatches = false;
    AnswerReport report;
    bool ok() const { return readResult == 0 && tagMatches; }
  };

  // Closes an adapter still open, opens the adapter and checks its
  // firmware. False when the run is over: the user was told, the adapter is
  // closed and busy is clear.
  bool openAdapter();
  // Command 37. False when the run is over.
  bool connectTarget();
  // Command 35; status 0 and 6 (right part, read-protected) pass. False
  // when the run is over.
  bool checkPart();
  // Command 13: 0 when erased; otherwise what failed (the adapter's status
  // was shown). The caller decides how the run ends.
  int erase();

  // Command 4: true when the library sent it. passedSoFar: the run's result
  // rests on it, so the run report follows it as a step.
  bool release(bool passedSoFar);
  // The result box (okKey under "Pass !", else failedKey under "Error !",
  // with the detail lines after the text), command 8, the status line back,
  // busy cleared, the adapter closed.
  void end(bool passed, uint16_t okKey, uint16_t failedKey, const std::string& detail = {});
  // A step failed after the part check: command 4, the status line back,
  // busy cleared, the adapter closed; no result box.
  void releaseAndClose();

  // What the status line shows once the run is over: the last loaded file,
  // unless the run put something else in the Code buffer.
  void setStatusAfterRun(const std::string& text) { statusAfter_ = text; }
  void restoreStatus();

  CommandAnswer sendAndRead(uint8_t command, uint8_t param0, uint8_t param1);
  ProgrammingContext& context() { return ctx_; }
  IceRecord& ice() { return ice_; }
  // Clears the busy flag at an end the steps above do not cover.
  void over() { busy_ = false; }

 private:
  // Says what a failed answer was, for the run report.
  void answerFailed(const CommandAnswer& a);

  ProgrammingContext& ctx_;
  bool& busy_;
  IceRecord& ice_;
  std::optional<std::string> statusAfter_;
};

}  // namespace lw
