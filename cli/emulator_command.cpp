// emulator start DIR [--times N]: presses the emulated adapter's start
// button, as an operator on a production line would, without the program.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "emulator/adapter_emulator.h"

namespace lw::cli {

int runEmulatorStart(const Options& o) {
  JsonObject json;
  json.add("command", "emulator start");
  std::error_code ec;
  if (!std::filesystem::is_directory(o.emulatorDir, ec)) {
    // A fresh directory would only hold a fresh adapter without a job.
    return finish(o, json, usageError(o.emulatorDir + ": no emulator state directory"), nullptr);
  }
  emu::AdapterEmulator adapter(o.emulatorDir);
  adapter.refresh(emu::Clock::now());

  std::vector<std::string> results;
  uint32_t programmed = 0;
  for (uint32_t i = 0; i < o.times; ++i) {
    const emu::StartOutcome outcome = adapter.pressStart();
    if (outcome.programmed) ++programmed;
    results.push_back(outcome.message);
    if (!o.json) std::printf("%s\n", outcome.message.c_str());
  }
  std::fflush(stdout);
  json.add("presses", static_cast<int64_t>(o.times))
      .add("programmed", static_cast<int64_t>(programmed))
      .add("programmed_total", static_cast<int64_t>(adapter.offlineRun().programmed))
      .add("next_serial", static_cast<int64_t>(adapter.offlineRun().nextSerial))
      .addStrings("results", results);
  return finish(o, json, programmed == o.times ? kExitOk : kExitFailed, nullptr);
}

}  // namespace lw::cli
