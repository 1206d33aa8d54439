#pragma once
// The subcommands of loomwrite-cli. Each returns the exit status.
#include "cli/cli_options.h"

namespace lw::cli {

// load FILE... --part NAME [--out BIN]
int runLoad(const Options& options);
// kpj save OUT.kpj --part NAME IMAGE... [option settings]
int runKpjSave(const Options& options);
// kpj show FILE.kpj
int runKpjShow(const Options& options);
// kpj form FILE.kpj [--to T] [--from F] [--part-no P] [--part NAME] [--text PATH|-] [--bmp PATH] [--pdf PATH]
int runKpjForm(const Options& options);
// program FILE... --part NAME [option settings]
int runProgram(const Options& options);
// firmware [--force]
int runFirmware(const Options& options);

}  // namespace lw::cli
