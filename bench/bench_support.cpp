#include "bench/bench_support.h"

#include <fcntl.h>
#include <spawn.h>
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

int runProgram(const std::vector<std::string>& args) {
  std::vector<std::string> store = args;
  std::vector<char*> argv;
  for (std::string& a : store) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
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
