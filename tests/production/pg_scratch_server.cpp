#include "tests/production/pg_scratch_server.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace lw::test {

PgScratchServer::PgScratchServer() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lw-pg-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    ADD_FAILURE() << "no temporary directory for the PostgreSQL server";
    return;
  }
  parent_ = pattern;
  // The server may run as another user (nobody, when the tests run as root).
  ::chmod(parent_.c_str(), 0755);
  dir_ = parent_ + "/server";
  std::string out;
  running_ = run("start", &out);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  uri_ = out;
  if (!running_ || uri_.empty()) ADD_FAILURE() << "the PostgreSQL server could not be started: " << out;
}

PgScratchServer::~PgScratchServer() {
  if (running_) stop();
  std::error_code ec;
  if (!parent_.empty()) std::filesystem::remove_all(parent_, ec);
}

bool PgScratchServer::stop() {
  running_ = !run("stop");
  return !running_;
}

bool PgScratchServer::start() {
  running_ = run("start");
  return running_;
}

bool PgScratchServer::run(const std::string& action, std::string* out) {
  const std::string command =
      std::string(LW_SOURCE_DIR) + "/scripts/pg-scratch-server " + action + " '" + dir_ + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return false;
  std::string text;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
  const int status = ::pclose(pipe);
  if (out) *out = text;
  const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!ok) ADD_FAILURE() << "scripts/pg-scratch-server " << action << " failed: " << text;
  return ok;
}

}  // namespace lw::test
