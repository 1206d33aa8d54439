// Update Target of a 64 KiB image against the emulated adapter with its
// timing model off, so what is measured is the host: the program's steps,
// the Link library, the HID layer and the emulator answering in-process.
#include <algorithm>
#include <cstdio>
#include <mutex>

#include "bench/bench_support.h"
#include "bench/benches.h"
#include "bench/no_pause_clock.h"
#include "cli/console_session.h"
#include "core/text.h"
#include "link/adapter_messages.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "platform/hid/hid_api.h"
#include "ui/main/main_dialog.h"

namespace lw::bench {

namespace {

constexpr std::size_t kCodeSize = 64 * 1024;

// The program's own reports, timed as they are sent.
class CountingTransport final : public HidTransportPort {
 public:
  uint32_t setFeature(uint32_t h, const uint8_t* r, std::size_t n) override {
    {
      std::lock_guard lock(mutex_);
      featureTimes.push_back(std::chrono::steady_clock::now());
    }
    return inner_.setFeature(h, r, n);
  }
  uint32_t getFeature(uint32_t h, uint8_t* r, std::size_t n) override { return inner_.getFeature(h, r, n); }
  uint32_t readInput(uint32_t h, uint8_t* r, std::size_t n, uint32_t t) override {
    ++answerReads;
    return inner_.readInput(h, r, n, t);
  }
  void cancelIo(uint32_t h) override { inner_.cancelIo(h); }
  uint32_t writeOutput(uint32_t h, const uint8_t* r, std::size_t n) override { return inner_.writeOutput(h, r, n); }

  void reset() {
    featureTimes.clear();
    answerReads = 0;
  }
  std::vector<std::chrono::steady_clock::time_point> featureTimes;
  int answerReads = 0;

 private:
  std::mutex mutex_;
  LwHidTransport inner_;
};


}  // namespace

void runUpdateTargetBench(int runs) {
  ScratchDir state, work;
  writeFile(state / "adapter.ini", "timing = off\n");
  if (lw_hid_select_backend(("emulator:" + state.path().string()).c_str()) != 0) {
    std::printf("Update Target: the emulated adapter cannot be selected\n");
    return;
  }
  const std::vector<uint8_t> code = noise(kCodeSize, 0x9E3779B9);
  writeFile(work / "code.bin", std::string(code.begin(), code.end()));

  CountingTransport hid;
  NoPauseClock clock;
  std::FILE* quiet = std::fopen("/dev/null", "w");
  cli::SessionSetup setup;
  setup.clock = &clock;
  setup.hid = &hid;
  setup.messageOut = quiet ? quiet : stderr;
  int okCount = 0;
  {
    cli::ConsoleSession session(setup);
    if (!session.loadLinkLibrary() || !session.open("Larch-F8U6") ||
        session.load(cli::InputFile{work / "code.bin", std::nullopt, false}) != 0) {
      std::printf("Update Target: the session could not be prepared\n");
      if (quiet) std::fclose(quiet);
      return;
    }
    const std::string okText = session.languageText(textkey::kUpdateTargetOk);
    auto countOk = [&] {
      return static_cast<int>(std::count_if(session.messages().boxes().begin(), session.messages().boxes().end(),
                                            [&](const cli::ConsoleBox& b) { return b.text == okText; }));
    };

    session.main().onCommand(mainid::kUpdateTarget);  // warm-up: the state files get written once
    std::vector<Seconds> totals;
    std::vector<Seconds> perReport;
    std::size_t reports = 0;
    int reads = 0;
    clock.skippedMs = 0;
    const int okBefore = countOk();
    for (int i = 0; i < runs; ++i) {
      hid.reset();
      totals.push_back(minimum(timeRuns([&] { session.main().onCommand(mainid::kUpdateTarget); }, 1, 0)));
      reports = hid.featureTimes.size();
      reads = hid.answerReads;
      // The code's reports are the first kCodeSize / 128 the program sends.
      const std::size_t codeReports = std::min(hid.featureTimes.size(), kCodeSize / 128);
      for (std::size_t r = 1; r < codeReports; ++r) {
        perReport.push_back(std::chrono::duration<double>(hid.featureTimes[r] - hid.featureTimes[r - 1]).count());
      }
    }
    okCount = countOk() - okBefore;

    std::printf("Update Target: %zu-byte image, Larch-F8U6, emulated adapter with timing = off (%d runs)\n",
                kCodeSize, runs);
    std::printf("  %-44s median %-10s best %s\n", "whole operation", formatSeconds(median(totals)).c_str(),
                formatSeconds(minimum(totals)).c_str());
    std::printf("  %-44s %llu ms each run (not slept here)\n", "the program's fixed pause before the check",
                static_cast<unsigned long long>(clock.skippedMs / static_cast<uint64_t>(runs)));
    std::printf("  %-44s %zu feature reports, %d answer reads\n", "the program's own traffic per run", reports,
                reads);
    std::printf("  %-44s median %-10s best %s\n", "host time per code report (128 bytes)",
                formatSeconds(median(perReport)).c_str(), formatSeconds(minimum(perReport)).c_str());
    std::printf("  %-44s %s\n", "whole operation per code report",
                formatSeconds(median(totals) / static_cast<double>(kCodeSize / 128)).c_str());
    std::printf("  %-44s %d of %d\n", "runs ending with \"Update Target ok !\"", okCount, runs);
  }
  if (quiet) std::fclose(quiet);
  lw_hid_select_backend(nullptr);
}

}  // namespace lw::bench
