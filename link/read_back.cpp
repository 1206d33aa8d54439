#include "link/read_back.h"

#include <algorithm>
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

}  // namespace

ReadBackResult readBack(ProgrammingContext& ctx, uint8_t command, uint32_t byteCount, uint32_t address,
                        ReadProgress progress) {
  auto state = std::make_shared<ReadState>();
  std::thread reader([state, link = ctx.link, command, byteCount, address] {
    const int result = link.readReporting(command, address, byteCount, &onReadProgress, state.get());
    std::lock_guard lock(state->mutex);
    state->result = result;
    state->done = true;
    state->ended.notify_all();
  });

  ReadBackResult outcome;
  const uint64_t total = progress.total != 0 ? progress.total : byteCount;
  uint32_t reported = 0;
  auto report = [&](uint32_t done, bool ended) {
    ctx.host.reportProgress({progress.phase, progress.doneBefore + done, total, ended});
    reported = done;
  };
  report(0, false);
  for (;;) {
    {
      std::unique_lock lock(state->mutex);
      if (state->ended.wait_for(lock, kDispatchInterval, [&] { return state->done; })) break;
    }
    if (const uint32_t done = state->bytesRead; done != reported) report(done, false);
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
  const uint32_t done = outcome.code == 0 ? byteCount : std::min<uint32_t>(state->bytesRead, byteCount);
  if (progress.endsPhase || outcome.code != 0) {
    report(done, true);
  } else if (done != reported) {
    report(done, false);
  }
  return outcome;
}

}  // namespace lw
