// The console forms of the window's progress bar and event loop.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "cli/console_event_loop.h"
#include "cli/console_progress.h"
#include "ui/main/progress_bar.h"

namespace lw::cli {
namespace {

std::string contents(std::FILE* f) {
  std::string s;
  std::rewind(f);
  for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
  return s;
}

TEST(ConsoleProgress, DrawsTheWindowsPictureAsText) {
  const PaintRect field{0, 0, 377, 21};
  EXPECT_EQ(progressBarText(progressPaint(field, 40, "Completed"), 30),
            "[############------------------] Completed ...40%");
  EXPECT_EQ(progressBarText(progressPaint(field, 0, "Completed"), 10), "[----------] Completed ...0%");
  EXPECT_EQ(progressBarText(progressPaint(field, 250, "Completed"), 10), "[##########] Completed ...100%");
  EXPECT_EQ(progressPercent(progressPaint(field, 7, "Completed")), 7);
  EXPECT_EQ(progressPercent(progressPaint(field, -1, "Completed")), -1);

  // Lines: one per tenth reached, none for the removal.
  std::FILE* sink = std::tmpfile();
  ConsoleProgress lines(ProgressStyle::Lines, sink);
  for (int p : {0, 3, 9, 10, 55, 59, 100, -1}) lines.paintProgress(1046, progressPaint(field, p, "Completed"));
  EXPECT_EQ(contents(sink),
            "[------------------------------] Completed ...0%\n"
            "[###---------------------------] Completed ...10%\n"
            "[################--------------] Completed ...55%\n"
            "[##############################] Completed ...100%\n");
  std::fclose(sink);

  // Bar: redrawn in place, unchanged pictures skipped, cleared for a message.
  sink = std::tmpfile();
  ConsoleProgress bar(ProgressStyle::Bar, sink);
  bar.paintProgress(1046, progressPaint(field, 100, "Completed"));
  bar.paintProgress(1046, progressPaint(field, 100, "Completed"));
  bar.clearLine();
  bar.clearLine();
  const std::string drawn = "[##############################] Completed ...100%";
  EXPECT_EQ(contents(sink), "\r" + drawn + "\r" + std::string(drawn.size(), ' ') + "\r");
  std::fclose(sink);

  sink = std::tmpfile();
  ConsoleProgress none(ProgressStyle::None, sink);
  none.paintProgress(1046, progressPaint(field, 50, "Completed"));
  EXPECT_EQ(contents(sink), "");
  std::fclose(sink);
}

TEST(ConsoleEventLoop, RunsCallsPostedFromAnotherThreadOnTheCallersThread) {
  ConsoleEventLoop loop;
  const auto mainThread = std::this_thread::get_id();
  int ran = 0;
  bool onMainThread = true;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      loop.post([&] {
        ++ran;
        onMainThread = onMainThread && std::this_thread::get_id() == mainThread;
      });
    }
  });
  EXPECT_TRUE(loop.runUntil([&] { return ran == 3; }, 5000));
  worker.join();
  EXPECT_TRUE(onMainThread);

  // Nothing arrives: the wait ends at its time-out.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(loop.runUntil([] { return false; }, 50));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));

  // A call posted by a call runs in a later round, not in the same one.
  int order = 0;
  loop.post([&] { loop.post([&] { order = 2; }); order = 1; });
  loop.dispatchPending();
  EXPECT_EQ(order, 1);
  loop.dispatchPending();
  EXPECT_EQ(order, 2);
}

}  // namespace
}  // namespace lw::cli
