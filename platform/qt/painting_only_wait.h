#pragma once
// A wait on the user-interface thread that keeps its windows painted and
// lets nothing else run: between short slices of the wait it processes only
// window-system and paint events. User input stays queued, timers do not
// fire, socket notifiers stay quiet, and the calls that other threads post
// through QtEventLoop (device arrivals, the firmware worker's messages) are
// held and run, in their order, once the wait is over. So a modal step
// whose platform needs time (the update check's download) neither looks
// hung nor runs other work inside itself.
#include <chrono>
#include <functional>

namespace lw {

// Calls waitSlice, which waits up to the slice it is given for the work and
// says whether the work has ended, until it does or the deadline passes.
// Returns whether the work ended.
bool waitPaintingOnly(const std::function<bool(std::chrono::milliseconds slice)>& waitSlice,
                      std::chrono::steady_clock::time_point deadline);

// Runs a call QtEventLoop posted, or holds it while a painting-only wait
// runs (and while calls held before it still wait their turn).
void runPostedCall(std::function<void()> call);

}  // namespace lw
