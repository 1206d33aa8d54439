#include "tests/desktop/shell_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace lw::test {

ShellRun runShell(const std::string& command) {
  char errPath[] = "/tmp/lw-shell-err-XXXXXX";
  const int errFd = ::mkstemp(errPath);
  ShellRun run;
  if (errFd < 0) return run;
  ::close(errFd);
  FILE* pipe = ::popen(("( " + command + " ) 2>" + errPath).c_str(), "r");
  if (pipe) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  run.err = readText(errPath);
  ::unlink(errPath);
  return run;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace lw::test
