#pragma once
// The benchmark's parts; each prints its own table on standard output.
namespace lw::bench {

// Intel HEX parsing of a generated 256 KiB image, beside objcopy.
void runHexParseBench();

// Update Target of a 64 KiB image against the emulated adapter without its
// timing model: what the host spends per report.
void runUpdateTargetBench(int runs);

// loomwrite-cli load of a 64 KiB HEX beside objcopy converting the same
// file: the CPU of each whole process, median of runs.
void runLoadStartupBench(int runs);

// Read Target and Verify Target of 64 KiB against the emulated adapter with
// its full-speed timing model, beside the floor its reports set.
void runTargetReadBench(int runs);

}  // namespace lw::bench
