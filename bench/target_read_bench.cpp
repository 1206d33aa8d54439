// Read Target and Verify Target of 64 KiB against the emulated adapter with
// its full-speed timing model (timing = full-speed): every report takes as
// long as on a full-speed USB bus, so the floor is what the reports the
// operation needs take, and what is measured beyond it is the host's share.
#include <cstdio>
#include <functional>

#include "bench/bench_support.h"
#include "bench/benches.h"
#include "bench/no_pause_clock.h"
#include "cli/console_session.h"
#include "core/ids/language_keys.h"
#include "link/adapter_operations.h"
#include "platform/hid/hid_api.h"
#include "ui/main/main_window_host.h"

namespace lw::bench {

namespace {

constexpr uint32_t kFlashSize = 64 * 1024;

// The emulator's full-speed model (docs/emulator.md, emulator/adapter_emulator.cpp):
// a 129-byte feature report takes 4 ms on the bus (one frame for setup and
// status, one per 64-byte packet); an answer input report is due 1 ms after
// the adapter's work, which takes 30 ms to connect the target and 5 ms to
// check its part, and the request before it is on the bus meanwhile. A read
// answer carries 112 data bytes.
constexpr double kReportMs = 4;
constexpr double kConnectMs = 31;
constexpr double kPartCheckMs = 6;
constexpr uint32_t kReadChunk = 112;

// What the reports of a read of n bytes take at the least: the identify
// request and its answer, command 37 and its answer, command 35 and its
// answer, the read request and its answers, commands 4 and 8.
double floorMs(uint32_t n) {
  const double readAnswers = (n + kReadChunk - 1) / kReadChunk;
  return 2 * kReportMs + kConnectMs + kPartCheckMs + (1 + readAnswers) * kReportMs + 2 * kReportMs;
}


}  // namespace

void runTargetReadBench(int runs) {
  ScratchDir state, work;
  writeFile(state / "adapter.ini", "timing = full-speed\n");
  const std::vector<uint8_t> image = noise(kFlashSize, 0x2545F491);
  const std::string bytes(image.begin(), image.end());
  writeFile(state / "target-flash.bin", bytes);
  writeFile(work / "code.bin", bytes);
  if (lw_hid_select_backend(("emulator:" + state.path().string()).c_str()) != 0) {
    std::printf("Read and verify: the emulated adapter cannot be selected\n");
    return;
  }
  NoPauseClock clock;
  std::FILE* quiet = std::fopen("/dev/null", "w");
  cli::SessionSetup setup;
  setup.clock = &clock;
  setup.messageOut = quiet ? quiet : stderr;
  {
    cli::ConsoleSession session(setup);
    if (!session.loadLinkLibrary() || !session.open("Larch-F8U6") ||
        session.load(cli::InputFile{work / "code.bin", std::nullopt, false}) != 0) {
      std::printf("Read and verify: the session could not be prepared\n");
      if (quiet) std::fclose(quiet);
      return;
    }
    AdapterOperations& adapter = session.operations().adapter();
    const std::string readOk = session.languageText(textkey::kReadTargetOk);
    const std::string verifyOk = session.languageText(textkey::kVerifyTargetOk);

    std::printf("Read and verify: %u bytes, Larch-F8U6, emulated adapter with timing = full-speed (%d runs each)\n",
                kFlashSize, runs);
    const double floor = floorMs(kFlashSize);
    std::printf("  %-44s %.0f ms (%u read answers of %u bytes)\n", "the reports' floor", floor,
                (kFlashSize + kReadChunk - 1) / kReadChunk, kReadChunk);
    struct Case {
      const char* name;
      std::function<void()> run;
      const std::string& ok;
    };
    const Case cases[] = {
        {"Read Target", [&] { adapter.readTarget(); }, readOk},
        {"Verify Target", [&] { adapter.verifyTarget(); }, verifyOk},
    };
    for (const Case& c : cases) {
      int passed = 0;
      clock.skippedMs = 0;
      std::vector<Seconds> totals;
      for (int i = 0; i < runs; ++i) {
        const std::size_t boxes = session.messages().boxes().size();
        totals.push_back(minimum(timeRuns(c.run, 1, 0)));
        const auto& shown = session.messages().boxes();
        if (shown.size() == boxes + 1 && shown.back().text == c.ok) ++passed;
      }
      const double med = median(totals) * 1000;
      std::printf("  %-44s median %.0f ms   best %.0f ms   %.3f x the floor   %d of %d passed\n", c.name, med,
                  minimum(totals) * 1000, med / floor, passed, runs);
    }
    std::printf("  %-44s %llu ms each run (not slept here)\n", "the program's fixed pause before the check",
                static_cast<unsigned long long>(clock.skippedMs / static_cast<uint64_t>(runs)));
  }
  if (quiet) std::fclose(quiet);
  lw_hid_select_backend(nullptr);
}

}  // namespace lw::bench
