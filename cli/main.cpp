// loomwrite-cli: the tool's operations for scripts, production lines and
// machines without a display, running the same logic as the program.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/parts_command.h"
#include "resources/embedded_resources.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const lw::cli::ParseResult parsed = lw::cli::parseArguments(args);
  if (parsed.help) {
    std::fputs(lw::cli::usageText(), stdout);
    return 0;
  }
  if (!parsed.options) {
    std::fprintf(stderr, "loomwrite-cli: %s\n%s", parsed.error.c_str(), lw::cli::usageText());
    return 2;
  }
  const lw::cli::Options& o = *parsed.options;
  if (o.command == "parts") return lw::cli::runParts(lw::embeddedResources(), o);
  std::fprintf(stderr, "loomwrite-cli: %s is not available in this build\n", o.command.c_str());
  return 1;
}
