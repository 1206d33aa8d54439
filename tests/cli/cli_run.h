#pragma once
// Running the built loomwrite-cli as a script would, with a scratch
// directory for its files and an emulated adapter's state.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QJsonObject>

namespace lw::test {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }
  // Replaces the file through a rename, as an editor would.
  void write(const std::string& name, const std::string& text) const;
  void writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) const;
  std::string read(const std::string& name) const;
  std::vector<uint8_t> readBytes(const std::string& name) const;
  bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

 private:
  std::filesystem::path path_;
};

struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
  double seconds = 0;     // from start to end
  bool timedOut = false;  // killed at the limit runCli was given
  // Standard error split into lines.
  std::vector<std::string> errLines() const;
  // Standard output parsed as the one JSON object --json prints.
  QJsonObject json() const;
};

// How long a run may take, and a signal to send it while it runs.
struct CliTiming {
  double limitSeconds = 0;  // killed when still going then (0: no limit), so that a hang fails the test
  double signalAfter = 0;   // seconds after the start
  int signal = 0;           // sent then (0: none)
  std::function<bool()> signalWhen = {};  // and, when given, once this is true
};

// Runs LW_BIN_DIR/loomwrite-cli with the arguments in dir. LOOMWRITE_ADAPTER
// is taken from env (absent: unset for the run); XDG_STATE_HOME too (absent:
// dir/.state, so the pending journal is the run's own). A launcher (a
// program and its arguments) runs the tool when given.
CliRun runCli(const ScratchDir& dir, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& env = {}, const std::vector<std::string>& launcher = {},
              const CliTiming& timing = {});

// The example image shipped in examples/.
std::string examplePath(const std::string& name);

// "--adapter emulator:DIR" for a state directory.
std::vector<std::string> emulatorArgs(const ScratchDir& state);

}  // namespace lw::test
