#include "core/text.h"
#include "emulator/ini_text.h"
#include "emulator/standalone_run.h"

namespace lw::emu {

void parseOfflineRun(std::string_view text, OfflineRunState& s, std::vector<std::string>& problems) {
  const IniText ini = IniText::parse(text, "offline-run.ini", problems);
  for (const IniEntry& e : ini.entries()) {
    const std::optional<uint32_t> v = parseUnsigned(e.value);
    auto bad = [&](const char* expected) {
      problems.push_back(format("offline-run.ini:%d: %s: expected %s, found \"%s\"", e.line, e.key.c_str(), expected,
                                e.value.c_str()));
    };
    if (e.key == "job_checksum") {
      if (v && *v <= 0xFFFF) {
        s.jobChecksum = static_cast<uint16_t>(*v);
        s.jobKnown = true;
      } else {
        bad("a 16-bit number");
      }
    } else if (e.key == "programmed") {
      if (v) s.programmed = *v;
      else bad("a number");
    } else if (e.key == "next_serial") {
      if (v) s.nextSerial = *v;
      else bad("a number");
    } else if (e.key == "press_start") {
      if (v && *v <= 10000) s.pressStart = *v;
      else bad("a number 0..10000");
    } else if (e.key == "last_result") {
      s.lastResult = e.value;
    } else {
      problems.push_back(format("offline-run.ini:%d: unknown key \"%s\"", e.line, e.key.c_str()));
    }
  }
}

std::string formatOfflineRun(const OfflineRunState& s) {
  std::string out =
      "# The emulated adapter's stand-alone run (docs/emulator.md).\n"
      "# Set press_start = N to press the start button N times.\n";
  if (s.jobKnown) out += format("job_checksum = 0x%04X\n", s.jobChecksum);
  out += format("programmed = %u\n", s.programmed);
  out += format("next_serial = 0x%08X\n", s.nextSerial);
  out += format("press_start = %u\n", s.pressStart);
  if (!s.lastResult.empty()) out += "last_result = " + s.lastResult + "\n";
  return out;
}

}  // namespace lw::emu
