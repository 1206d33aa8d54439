#pragma once
// The live table of a gang run: one row per adapter with the phase its
// worker is in, the phase's progress and the outcome, fed by the worker's
// progress events (JSON lines on its standard output) and its message lines
// (standard error).
#include <cstdio>
#include <string>
#include <vector>

namespace lw::cli {

struct GangRow {
  enum class State { kWaiting, kRunning, kPassed, kFailed };
  std::string place;
  State state = State::kWaiting;
  std::string phase;                  // the phase the worker reported last ("program"), empty before any
  int percent = -1;                   // that phase's progress, -1 before any or for a phase without bytes
  std::vector<std::string> messages;  // its message lines
  std::string outcome;                // for a row that ended: its last message, or how it ended
};

// A line of the worker's standard error: one of its messages.
void takeWorkerLine(GangRow& row, const std::string& line);

// A line of the worker's standard output: a progress event moves the row on;
// anything else (its result object) is left alone.
void takeWorkerOutput(GangRow& row, const std::string& line);

// "emulator:/x/a      [#####-----------]  30%  program".
std::string rowText(const GangRow& row, std::size_t placeWidth);

// Draws the rows: redrawn in place on a terminal; otherwise, when asked
// for, one line each time a row reaches another phase or tenth or ends.
class GangDisplay {
 public:
  GangDisplay(std::FILE* out, bool terminal, bool lines) : out_(out), terminal_(terminal), lines_(lines) {}
  void draw(const std::vector<GangRow>& rows);

 private:
  std::FILE* out_;
  bool terminal_;
  bool lines_;
  std::size_t drawnRows_ = 0;
  std::vector<std::string> lastShown_;  // Lines: what each row said last
};

}  // namespace lw::cli
