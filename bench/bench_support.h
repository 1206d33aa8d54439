#pragma once
// Timing helpers of the benchmark: repeated runs, medians, a scratch
// directory and running a program.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lw::bench {

using Seconds = double;

// Runs body at least minRuns times and until minTotal seconds have passed;
// returns every run's duration.
std::vector<Seconds> timeRuns(const std::function<void()>& body, int minRuns, Seconds minTotal);

Seconds median(std::vector<Seconds> values);
Seconds minimum(const std::vector<Seconds>& values);

// A fresh directory under the system's temporary directory, removed at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// Runs a program found on PATH with its output discarded; returns its exit
// status, or -1 when it could not be started.
int runProgram(const std::vector<std::string>& argv);

// The same, measured: the exit status (-1 as above), the CPU time the
// process used (user and system, from its start to its end) and the wall
// time from starting it to reaping it.
struct ProcessRun {
  int exitStatus = -1;
  Seconds cpu = 0;
  Seconds wall = 0;
};
ProcessRun runMeasured(const std::vector<std::string>& argv);

// An image as Intel HEX the way objcopy writes it: extended linear address
// records, data records of kHexRecordData bytes, the end-of-file record.
inline constexpr std::size_t kHexRecordData = 16;
std::string intelHexOf(const std::vector<uint8_t>& image, uint32_t base);

// Deterministic pseudo-random bytes.
std::vector<uint8_t> noise(std::size_t n, uint32_t seed);

std::string formatSeconds(Seconds s);

}  // namespace lw::bench
