#pragma once
// Where an adapter operation is, and, when a step failed, what the adapter
// (or the Link library) answered there, in words. The command line prints
// and logs it as the one line that says why a run failed; the window keeps
// to its message boxes and never reads it.
#include <atomic>
#include <cstdint>
#include <string>

namespace lw {

struct AnswerReport;

struct RunReport {
  // The step under way ("erase (command 13)"), a text that lives for the
  // whole program; it may be read from another thread while the run goes
  // on (an interrupted run names it).
  std::atomic<const char*> step{nullptr};
  // Set when that step failed; read only once the run is over.
  std::string answer;

  void begin(const char* s) {
    answer.clear();
    step = s;
  }
  void fail(std::string a) { answer = std::move(a); }
  bool failed() const { return !answer.empty(); }
};

// Either report may be null (nobody listens): then nothing is recorded.
inline void stepBegins(RunReport* report, const char* step) {
  if (report) report->begin(step);
}
inline void stepFails(RunReport* report, std::string answer) {
  if (report) report->fail(std::move(answer));
}

// "no answer within 4 s", "the answer could not be read: ... (error 13)"
std::string unreadAnswer(uint32_t readResult);
// "an answer with the wrong tag (0x12, expected 0x34)"
std::string wrongTag(uint8_t got, uint8_t expected);
// "status 2 (target supply 3700 mV)"; status 0 reads "status 0".
std::string statusAnswer(const AnswerReport& answer);
// "byte 0x00000010 reads back 0x21, the image holds 0x20"
std::string firstDifference(const uint8_t* image, const uint8_t* readBack, uint32_t n);
// "ICE_Send_Command answered 31 (A device attached to the system is not functioning.)"
std::string callAnswered(const char* call, int result);

}  // namespace lw
