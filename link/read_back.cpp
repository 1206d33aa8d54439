#include "link/read_back.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/ports/event_loop_port.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"

namespace lw {

namespace {

// How often the waiting thread dispatches events and redraws the bar.
constexpr auto kDispatchInterval = std::chrono::milliseconds(15);

struct ReadState {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  int result = 0;
  std::atomic<uint32_t> bytesRead{0};
  std::atomic<bool> stop{false};
};

int onReadProgress(void* context, uint32_t bytesRead, uint32_t) {
  auto* state = static_cast<ReadState*>(context);
  state->bytesRead = bytesRead;
  return state->stop ? 1 : 0;
}

int percentOf(uint32_t done, uint32_t total) {
  return total == 0 ? 100 : static_cast<int>(uint64_t{done} * 100 / total);
}

}  // namespace

ReadBackResult readBack(ProgrammingContext& ctx, uint8_t command, uint32_t byteCount) {
  auto state = std::make_shared<ReadState>();
  std::thread reader([state, link = ctx.link, command, byteCount] {
    const int result = link.readReporting(command, byteCount, &onReadProgress, state.get());
    std::lock_guard lock(state->mutex);
    state->result = result;
    state->done = true;
    state->ended.notify_all();
  });

  ReadBackResult outcome;
  int shown = -2;  // nothing drawn yet
  auto show = [&](int percent) {
    if (percent != shown) ctx.host.drawVerifyProgress(percent);
    shown = percent;
  };
  show(0);
  for (;;) {
    {
      std::unique_lock lock(state->mutex);
      if (state->ended.wait_for(lock, kDispatchInterval, [&] { return state->done; })) break;
    }
    show(percentOf(state->bytesRead, byteCount));
    // Once the program is quitting nothing more is dispatched: the read is
    // asked to stop and waited for (a library without progress reports
    // cannot be stopped and ends on its own).
    if (!outcome.quitting && !ctx.loop.dispatchPending()) {
      outcome.quitting = true;
      state->stop = true;
    }
  }
  reader.join();
  outcome.code = state->result;
  if (outcome.code == 0) show(100);
  show(-1);
  return outcome;
}

}  // namespace lw
