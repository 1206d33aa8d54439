#pragma once
// Runs a shell command line and takes what it printed.
#include <string>

namespace lw::test {

struct ShellRun {
  int exit = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `sh -c command` with the environment given in front of it
// ("NAME=value ..." is part of the command line).
ShellRun runShell(const std::string& command);

// The whole file, or "" when it cannot be read.
std::string readText(const std::string& path);

}  // namespace lw::test
