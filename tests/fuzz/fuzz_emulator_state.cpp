// Fuzzes the emulator's state and fault files (adapter.ini, target.ini,
// faults.ini). What the adapter settings read must survive being written
// back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/fault_config.h"
#include "emulator/ini_text.h"
#include "emulator/state_text.h"
#include "emulator/target_mcu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> problems;
  const lw::emu::IniText ini = lw::emu::IniText::parse(text, "fuzz.ini", problems);
  for (const lw::emu::IniEntry& e : ini.entries()) {
    lw::emu::parseBool(e.value);
    lw::emu::parseUnsigned(e.value);
  }
  lw::emu::parseFaults(text, problems);

  lw::emu::AdapterSettings settings;
  lw::emu::parseAdapterSettings(text, settings, problems);
  lw::emu::AdapterSettings again;
  std::vector<std::string> againProblems;
  lw::emu::parseAdapterSettings(lw::emu::formatAdapterSettings(settings), again, againProblems);
  if (!(again == settings) || !againProblems.empty()) {
    std::fprintf(stderr, "adapter.ini does not read back what was written\n");
    std::abort();
  }

  lw::emu::TargetMcu target;
  lw::emu::parseTargetSettings(text, target, problems);
  lw::emu::formatTargetSettings(target);
  return 0;
}
