// loomwrite-cli: the tool's operations for scripts, production lines and
// machines without a display, running the same logic as the program.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "core/json_writer.h"
#include "cli/parts_command.h"
#include "resources/embedded_resources.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  lw::cli::ParseResult parsed = lw::cli::parseArguments(args);
  if (parsed.options) {
    parsed.error = lw::cli::languageFromEnvironment(*parsed.options, std::getenv("LOOMWRITE_LANGUAGE"));
    if (!parsed.error.empty()) parsed.options.reset();
  }
  if (parsed.help) {
    std::fputs(lw::cli::usageText(), stdout);
    return lw::cli::kExitOk;
  }
  if (!parsed.options) {
    std::fprintf(stderr, "loomwrite-cli: %s\n%s", parsed.error.c_str(), lw::cli::usageText());
    for (const std::string& a : args) {
      if (a != "--json") continue;
      std::printf("%s\n", lw::JsonObject()
                              .add("ok", false)
                              .add("exit", static_cast<int64_t>(lw::cli::kExitUsage))
                              .add("error", parsed.error)
                              .str()
                              .c_str());
      break;
    }
    return lw::cli::kExitUsage;
  }
  const lw::cli::Options& o = *parsed.options;
  if (o.command == "parts") return lw::cli::runParts(lw::embeddedResources(), o);
  if (o.command == "load") return lw::cli::runLoad(o);
  if (o.command == "kpj-save") return lw::cli::runKpjSave(o);
  if (o.command == "kpj-show") return lw::cli::runKpjShow(o);
  if (o.command == "kpj-form") return lw::cli::runKpjForm(o);
  if (o.command == "program") return lw::cli::runProgram(o);
  if (o.command == "program-adapter") return lw::cli::runProgramAdapter(o);
  if (o.command == "emulator-start") return lw::cli::runEmulatorStart(o);
  if (o.command == "firmware") return lw::cli::runFirmware(o);
  if (o.command == "check-update") return lw::cli::runCheckUpdate(o);
  if (o.command == "adapters") return lw::cli::runAdapters(o);
  if (o.command == "read") return lw::cli::runRead(o);
  if (o.command == "verify") return lw::cli::runVerify(o);
  if (o.command == "erase") return lw::cli::runErase(o);
  if (o.command == "blank-check") return lw::cli::runBlankCheck(o);
  if (o.command.rfind("gang-", 0) == 0) return lw::cli::runGang(o);
  if (o.command.rfind("log-", 0) == 0) return lw::cli::runLog(o);
  return lw::cli::usageError("unknown command '" + o.command + "'");
}
