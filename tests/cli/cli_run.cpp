#include "tests/cli/cli_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <QJsonDocument>

extern char** environ;

namespace lw::test {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lw-cli-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void ScratchDir::write(const std::string& name, const std::string& text) const {
  writeBytes(name, std::vector<uint8_t>(text.begin(), text.end()));
}

void ScratchDir::writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
  const auto temp = path_ / (name + ".edit");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::rename(temp, path_ / name);
}

std::string ScratchDir::read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<uint8_t> ScratchDir::readBytes(const std::string& name) const {
  const std::string s = read(name);
  return {s.begin(), s.end()};
}

std::vector<std::string> CliRun::errLines() const {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

QJsonObject CliRun::json() const {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) return {};
  return doc.object();
}

CliRun runCli(const ScratchDir& dir, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& env, const std::vector<std::string>& launcher,
              const CliTiming& timing) {
  const std::string cli = std::string(LW_BIN_DIR) + "/loomwrite-cli";
  const std::string program = launcher.empty() ? cli : launcher.front();
  const std::string outPath = (dir.path() / ".cli-stdout").string();
  const std::string errPath = (dir.path() / ".cli-stderr").string();

  std::vector<std::string> argStore = launcher;
  argStore.push_back(cli);
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> envStore;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    // The caller's adapter, language, gang run and journal never leak into a run.
    if (entry.rfind("LOOMWRITE_ADAPTER=", 0) == 0 || entry.rfind("LOOMWRITE_LANGUAGE=", 0) == 0 ||
        entry.rfind("LOOMWRITE_RUN_ID=", 0) == 0 || entry.rfind("XDG_STATE_HOME=", 0) == 0)
      continue;
    envStore.push_back(entry);
  }
  // The pending journal goes into the scratch directory, never the user's.
  if (!env.count("XDG_STATE_HOME")) envStore.push_back("XDG_STATE_HOME=" + (dir.path() / ".state").string());
  for (const auto& [k, v] : env) envStore.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (std::string& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());

  CliRun run;
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now();
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  int status = 0;
  const bool watched = timing.limitSeconds > 0 || timing.signal != 0;
  bool signalled = false;
  while (waitpid(pid, &status, watched ? WNOHANG : 0) == 0) {
    if (timing.signal != 0 && !signalled && elapsed() >= timing.signalAfter &&
        (!timing.signalWhen || timing.signalWhen())) {
      kill(pid, timing.signal);
      signalled = true;
    }
    if (timing.limitSeconds > 0 && elapsed() > timing.limitSeconds) {
      run.timedOut = true;
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    usleep(5000);
  }
  run.seconds = elapsed();
  if (WIFEXITED(status)) run.exit = WEXITSTATUS(status);
  run.out = dir.read(".cli-stdout");
  run.err = dir.read(".cli-stderr");
  return run;
}

std::string examplePath(const std::string& name) { return std::string(LW_SOURCE_DIR) + "/examples/" + name; }

std::vector<std::string> emulatorArgs(const ScratchDir& state) {
  return {"--adapter", "emulator:" + state.path().string()};
}

}  // namespace lw::test
