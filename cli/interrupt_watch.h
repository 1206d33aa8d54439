#pragma once
// SIGINT and SIGTERM for a command whose end must be recorded even when it
// is stopped half-way, perhaps inside a blocking adapter call. While a watch
// is armed the two signals are blocked in every thread of the process and
// taken by a thread of the watch's own, so the handler may do what a signal
// handler may not (format, lock, write a file).
#include <functional>

namespace lw::cli {

class InterruptWatch {
 public:
  // onFirst gets the first signal on the watch's thread. It returns true to
  // end the process at once with exit status 1 (it has recorded what had
  // to be), false to let the command go on to its own end. Either way a
  // second signal then ends the process at once, as signals do by default.
  // Create it before the command starts any other thread.
  explicit InterruptWatch(std::function<bool(int signal)> onFirst);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  struct State;  // shared with the watching thread, which outlives the watch

 private:
  State* state_;
};

// "SIGINT", "SIGTERM".
const char* signalName(int signal);

}  // namespace lw::cli
