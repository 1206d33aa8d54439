#pragma once
// Real toolchain outputs made at test time: the toggle example in
// examples/toggle assembled and linked by Debian's binutils-arm-none-eabi,
// then converted by objcopy and srec_cat, so that the loader is checked
// against files the tools its users run write, and the writers against what
// those tools read.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace lw::test {

// Runs the command (a program and its arguments, each quoted for the shell);
// its output is appended to *log. True when it exited with status 0.
inline bool runTool(const std::vector<std::string>& command, std::string* log = nullptr) {
  std::string line;
  for (const std::string& word : command) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += quoted + "' ";
  }
  line += "2>&1";
  FILE* pipe = ::popen(line.c_str(), "r");
  if (!pipe) return false;
  char buffer[256];
  std::string output;
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  const int status = ::pclose(pipe);
  if (log) *log += line + "\n" + output;
  return status == 0;
}

inline std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A linker script like the example's own, but with .data placed in RAM only:
// its bytes then have no flash copy and load at a RAM address.
inline constexpr char kRamDataScript[] =
    "MEMORY { FLASH (rx) : ORIGIN = 0x08000000, LENGTH = 64K\n"
    "         RAM (rwx) : ORIGIN = 0x20000000, LENGTH = 8K }\n"
    "_estack = ORIGIN(RAM) + LENGTH(RAM);\n"
    "SECTIONS {\n"
    "  .isr_vector : { KEEP(*(.isr_vector)) } > FLASH\n"
    "  .text : { *(.text*) . = ALIGN(4); } > FLASH\n"
    "  _sidata = LOADADDR(.data);\n"
    "  .data : { _sdata = .; *(.data*) . = ALIGN(4); _edata = .; } > RAM\n"
    "  .bss : { _sbss = .; *(.bss*) . = ALIGN(4); _ebss = .; } > RAM\n"
    "}\n";

// Builds the toggle example in dir: toggle.elf (.text at 0x08000000, .data
// loaded after it, .bss), toggle.bin (objcopy -O binary), toggle.hex
// (objcopy -O ihex), toggle.srec (objcopy -O srec: S3 records at
// 0x08000000) and toggle.s19 (srec_cat: S1 records from address 0). With a
// linker script given, only toggle.elf is made, linked by it. Returns the
// tools' log when a step failed, else an empty text.
inline std::string buildToggleImages(const std::filesystem::path& dir, const std::string& linkerScript = {}) {
  const std::string source = std::string(LW_SOURCE_DIR) + "/examples/toggle/toggle.s";
  const std::string script = linkerScript.empty() ? std::string(LW_SOURCE_DIR) + "/examples/blinky/larch_64k.ld"
                                                  : linkerScript;
  const std::string at = dir.string() + "/";
  std::string log;
  bool ok = runTool({"arm-none-eabi-as", "-mcpu=cortex-m0plus", "-mthumb", "-o", at + "toggle.o", source}, &log) &&
            runTool({"arm-none-eabi-ld", "-T", script, "-o", at + "toggle.elf", at + "toggle.o"}, &log);
  if (ok && linkerScript.empty()) {
    ok = runTool({"arm-none-eabi-objcopy", "-O", "binary", at + "toggle.elf", at + "toggle.bin"}, &log) &&
         runTool({"arm-none-eabi-objcopy", "-O", "ihex", at + "toggle.elf", at + "toggle.hex"}, &log) &&
         runTool({"arm-none-eabi-objcopy", "-O", "srec", at + "toggle.elf", at + "toggle.srec"}, &log) &&
         runTool({"srec_cat", at + "toggle.srec", "-offset", "-0x08000000", "-o", at + "toggle.s19",
                  "-address-length=2"},
                 &log);
  }
  return ok ? std::string() : log.empty() ? std::string("the toolchain did not run") : log;
}

}  // namespace lw::test
