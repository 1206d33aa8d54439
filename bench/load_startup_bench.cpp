// loomwrite-cli load beside objcopy on the same 64 KiB Intel HEX file: the
// CPU each whole process uses, start-up included, as a script or a gang
// worker pays it on every run.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "bench/bench_support.h"
#include "bench/benches.h"

namespace lw::bench {

namespace {

constexpr std::size_t kImageSize = 64 * 1024;
constexpr uint32_t kFlashBase = 0x08000000;
constexpr int kWarmUpRuns = 5;

std::string cliBesideUs() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "loomwrite-cli").string();
}

struct Series {
  std::vector<Seconds> cpu, wall;
  int failures = 0;
  void add(const ProcessRun& r) {
    cpu.push_back(r.cpu);
    wall.push_back(r.wall);
    failures += r.exitStatus != 0;
  }
};

void row(const char* what, const Series& s) {
  std::printf("  %-40s CPU median %-10s best %-10s  wall median %-10s\n", what, formatSeconds(median(s.cpu)).c_str(),
              formatSeconds(minimum(s.cpu)).c_str(), formatSeconds(median(s.wall)).c_str());
}

}  // namespace

void runLoadStartupBench(int runs) {
  ScratchDir dir;
  const std::string hexPath = dir / "image.hex";
  const std::string text = intelHexOf(noise(kImageSize, 0x6A09E667), kFlashBase);
  writeFile(hexPath, text);
  const std::vector<std::string> cli = {cliBesideUs(), "load", hexPath, "--part", "Larch-F8U6", "--out",
                                        dir / "cli.bin"};
  const std::vector<std::string> objcopy = {"objcopy", "-I", "ihex", "-O", "binary", hexPath, dir / "objcopy.bin"};
  std::printf("Start-up: %zu-byte image at 0x%08X, %zu-byte HEX file, whole processes, %d runs each, interleaved\n",
              kImageSize, kFlashBase, text.size(), runs);
  if (runProgram({objcopy[0], "--version"}) != 0) {
    std::printf("  objcopy: not found (Debian package binutils)\n");
    return;
  }
  if (::access(cli[0].c_str(), X_OK) != 0) {
    std::printf("  %s: not found (build the loomwrite-cli target)\n", cli[0].c_str());
    return;
  }
  for (int i = 0; i < kWarmUpRuns; ++i) {
    runMeasured(cli);
    runMeasured(objcopy);
  }
  // Turn about, so that whatever else the machine does falls on both alike.
  Series own, theirs;
  for (int i = 0; i < runs; ++i) {
    own.add(runMeasured(cli));
    theirs.add(runMeasured(objcopy));
  }
  row("loomwrite-cli load FILE --out BIN", own);
  row("objcopy -I ihex -O binary FILE BIN", theirs);
  const double ratio = median(own.cpu) / median(theirs.cpu);
  std::printf("  CPU of loomwrite-cli / objcopy (medians)   %.2f  (goal: at most 1.00, %s)\n", ratio,
              ratio <= 1.0 ? "met" : "NOT met");
  std::printf("  failed runs: %d and %d; outputs equal: %s\n", own.failures, theirs.failures,
              readFile(dir / "cli.bin") == readFile(dir / "objcopy.bin") ? "yes" : "NO");
}

}  // namespace lw::bench
