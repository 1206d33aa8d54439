#pragma once
// The subcommands of loomwrite-cli. Each returns the exit status.
#include "cli/cli_options.h"

namespace lw::cli {

// load FILE... --part NAME [--out FILE [--format bin|hex|srec]]
int runLoad(const Options& options);
// kpj save OUT.kpj --part NAME IMAGE... [option settings]
int runKpjSave(const Options& options);
// kpj show FILE.kpj
int runKpjShow(const Options& options);
// kpj form FILE.kpj [--to T] [--from F] [--part-no P] [--part NAME] [--text PATH|-] [--bmp PATH] [--pdf PATH]
int runKpjForm(const Options& options);
// program FILE... --part NAME [option settings]
int runProgram(const Options& options);
// program-adapter FILE... --part NAME [option settings] [off-line settings]
int runProgramAdapter(const Options& options);
// emulator start DIR [--times N]
int runEmulatorStart(const Options& options);
// firmware [--force]
int runFirmware(const Options& options);
// check-update [--url BASE]
int runCheckUpdate(const Options& options);
// adapters
int runAdapters(const Options& options);
// read OUT --part NAME [--size N] [--format bin|hex|srec]
int runRead(const Options& options);
// verify FILE... --part NAME
int runVerify(const Options& options);
// erase --part NAME
int runErase(const Options& options);
// blank-check --part NAME
int runBlankCheck(const Options& options);
// gang program|program-adapter|verify|erase|blank-check [FILE...] --part NAME [--adapters all|PLACE,...]
int runGang(const Options& options);
// log find|summary|export|serials|flush [--log STORE] ...
int runLog(const Options& options);

}  // namespace lw::cli
