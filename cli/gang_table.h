#pragma once
// The live table of a gang run: one row per adapter with its progress and
// outcome, fed by the lines its worker writes on standard error.
#include <cstdio>
#include <string>
#include <vector>

namespace lw::cli {

struct GangRow {
  enum class State { kWaiting, kRunning, kPassed, kFailed };
  std::string place;
  State state = State::kWaiting;
  int percent = -1;                   // the last progress shown, -1 before any
  std::vector<std::string> messages;  // its message lines, progress left out
  std::string outcome;                // for a row that ended: its last message, or how it ended
};

// A progress line ("[####------] Completed ...40%") moves the row on;
// anything else is one of its messages.
void takeWorkerLine(GangRow& row, const std::string& line);

// "emulator:/x/a      [#####-----------]  30%  running".
std::string rowText(const GangRow& row, std::size_t placeWidth);

// Draws the rows: redrawn in place on a terminal; otherwise, when asked
// for, one line each time a row reaches another tenth or ends.
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
