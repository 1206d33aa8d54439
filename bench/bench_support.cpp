#include "bench/bench_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/text.h"

extern char** environ;

namespace lw::bench {

std::vector<Seconds> timeRuns(const std::function<void()>& body, int minRuns, Seconds minTotal) {
  std::vector<Seconds> runs;
  Seconds total = 0;
  while (static_cast<int>(runs.size()) < minRuns || total < minTotal) {
    const auto start = std::chrono::steady_clock::now();
    body();
    const Seconds took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    runs.push_back(took);
    total += took;
  }
  return runs;
}

Seconds median(std::vector<Seconds> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

Seconds minimum(const std::vector<Seconds>& values) {
  return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lw-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

namespace {

void record(std::string& out, uint8_t type, uint16_t address, const uint8_t* data, std::size_t n) {
  unsigned sum = static_cast<unsigned>(n) + (address >> 8) + (address & 0xFF) + type;
  out += format(":%02X%04X%02X", static_cast<unsigned>(n), address, type);
  for (std::size_t i = 0; i < n; ++i) {
    out += format("%02X", data[i]);
    sum += data[i];
  }
  out += format("%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
}

Seconds secondsOf(const timeval& t) { return static_cast<Seconds>(t.tv_sec) + t.tv_usec / 1e6; }

}  // namespace

std::string intelHexOf(const std::vector<uint8_t>& image, uint32_t base) {
  std::string out;
  uint32_t upper = 0xFFFFFFFF;
  for (std::size_t at = 0; at < image.size(); at += kHexRecordData) {
    const uint32_t address = base + static_cast<uint32_t>(at);
    if ((address >> 16) != upper) {
      upper = address >> 16;
      const uint8_t value[2] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)};
      record(out, 0x04, 0, value, 2);
    }
    record(out, 0x00, static_cast<uint16_t>(address), image.data() + at,
           std::min(kHexRecordData, image.size() - at));
  }
  record(out, 0x01, 0, nullptr, 0);
  return out;
}

int runProgram(const std::vector<std::string>& args) { return runMeasured(args).exitStatus; }

ProcessRun runMeasured(const std::vector<std::string>& args) {
  std::vector<std::string> store = args;
  std::vector<char*> argv;
  for (std::string& a : store) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  ProcessRun run;
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now();
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return run;
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The child's own CPU, user and system: its start-up included, nothing of ours.
  run.cpu = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  return run;
}

std::vector<uint8_t> noise(std::size_t n, uint32_t seed) {
  std::vector<uint8_t> bytes(n);
  uint32_t x = seed ? seed : 1;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return bytes;
}

std::string formatSeconds(Seconds s) {
  if (s < 1e-3) return format("%.1f us", s * 1e6);
  if (s < 1.0) return format("%.2f ms", s * 1e3);
  return format("%.3f s", s);
}

}  // namespace lw::bench
