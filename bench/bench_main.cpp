// loomwrite-bench: Intel HEX parsing throughput beside objcopy, the host's
// share of Update Target against the emulated adapter, and, each run on its
// own by name, the start-up cost of loomwrite-cli load beside objcopy and
// Read Target and Verify Target against the full-speed timing model.
//   loomwrite-bench [hex|update|startup|read] [--runs N]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/benches.h"

int main(int argc, char** argv) {
  bool hex = true, update = true, startup = false, read = false;
  int runs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "hex") {
      update = false;
    } else if (a == "update") {
      hex = false;
    } else if (a == "startup") {
      hex = update = false;
      startup = true;
    } else if (a == "read") {
      hex = update = false;
      read = true;
    } else if (a == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
      if (runs < 1) runs = 1;
    } else {
      std::fprintf(stderr, "usage: loomwrite-bench [hex|update|startup|read] [--runs N]\n");
      return 2;
    }
  }
  if (hex) lw::bench::runHexParseBench();
  if (hex && update) std::printf("\n");
  if (update) lw::bench::runUpdateTargetBench(runs ? runs : 10);
  if (startup) lw::bench::runLoadStartupBench(runs ? runs : 200);
  if (read) lw::bench::runTargetReadBench(runs ? runs : 5);
  return 0;
}
