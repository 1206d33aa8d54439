#pragma once
// The benchmark's two parts; each prints its own table on standard output.
namespace lw::bench {

// Intel HEX parsing of a generated 256 KiB image, beside objcopy.
void runHexParseBench();

// Update Target of a 64 KiB image against the emulated adapter without its
// timing model: what the host spends per report.
void runUpdateTargetBench(int runs);

}  // namespace lw::bench
