#include "cli/worker_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/interrupt_watch.h"
#include "core/text.h"

namespace lw::cli {

namespace {

using Clock = std::chrono::steady_clock;

struct Running {
  pid_t pid = -1;
  int outFd = -1;
  int errFd = -1;
  std::string errPending;  // a line not ended yet
  std::size_t outHanded = 0;  // bytes of standard output handed on as lines
  bool reaped = false;
};

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Starts one worker with the signal mask the caller had before the run;
// pid -1 and the reason in error when it cannot.
Running spawn(const std::string& program, const std::vector<std::string>& args, const sigset_t& mask,
              std::string& error) {
  Running r;
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return r;
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    ::close(out[0]);
    ::close(out[1]);
    return r;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    // In the child only async-signal-safe calls until exec.
    ::setpgid(0, 0);
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    const int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull >= 0) ::dup2(devnull, STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    ::signal(SIGPIPE, SIG_IGN);
    ::execv(program.c_str(), argv.data());
    const char message[] = "loomwrite-cli: the worker could not be started\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  if (pid > 0) ::setpgid(pid, pid);  // whichever of the two runs first
  if (pid < 0) {
    error = std::strerror(errno);
    ::close(out[0]);
    ::close(err[0]);
    return r;
  }
  r.pid = pid;
  r.outFd = out[0];
  r.errFd = err[0];
  return r;
}

// Reads what is there; false at the end of the stream.
bool drain(int fd, std::string& into) {
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  return n < 0 && (errno == EINTR || errno == EAGAIN);
}

void handOnLines(std::size_t index, std::string& pending, const WorkerLineSink& onLine, bool atEnd) {
  std::size_t start = 0;
  for (std::size_t nl; (nl = pending.find('\n', start)) != std::string::npos; start = nl + 1) {
    std::string line = pending.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (onLine) onLine(index, line);
  }
  pending.erase(0, start);
  if (atEnd && !pending.empty()) {
    if (onLine) onLine(index, pending);
    pending.clear();
  }
}

// Standard output is kept whole for the caller; its lines are handed on too.
void handOnOutLines(std::size_t index, const std::string& out, std::size_t& handed, const WorkerLineSink& onLine,
                    bool atEnd) {
  for (std::size_t nl; (nl = out.find('\n', handed)) != std::string::npos; handed = nl + 1) {
    std::string line = out.substr(handed, nl - handed);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (onLine) onLine(index, line);
  }
  if (atEnd && handed < out.size()) {
    if (onLine) onLine(index, out.substr(handed));
    handed = out.size();
  }
}

}  // namespace

InterruptSignals::InterruptSignals() {
  sigemptyset(&set_);
  sigaddset(&set_, SIGINT);
  sigaddset(&set_, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set_, &before_);
  fd_ = ::signalfd(-1, &set_, SFD_CLOEXEC | SFD_NONBLOCK);
}

InterruptSignals::~InterruptSignals() {
  // What came in after the workers ended is let go: the run is over.
  if (fd_ >= 0) {
    take();
    ::close(fd_);
  }
  pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

int InterruptSignals::take() {
  signalfd_siginfo info{};
  if (fd_ < 0 || ::read(fd_, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) return 0;
  return static_cast<int>(info.ssi_signo);
}

std::vector<WorkerResult> runWorkers(const std::string& program, const std::vector<std::vector<std::string>>& argLists,
                                     const WorkerRules& rules, const WorkerCallbacks& callbacks,
                                     InterruptSignals& interrupts) {
  std::vector<WorkerResult> results(argLists.size());
  if (const int early = interrupts.take(); early != 0) {
    // Interrupted before any board was touched: none is started.
    if (callbacks.onInterrupt) callbacks.onInterrupt(early, false, 0);
    for (WorkerResult& r : results) {
      r.interruptedBy = early;
      r.startError = format("%s came before it was started", signalName(early));
    }
    return results;
  }
  std::vector<Running> running(argLists.size());
  for (std::size_t i = 0; i < argLists.size(); ++i) {
    running[i] = spawn(program, argLists[i], interrupts.maskBefore(), results[i].startError);
    results[i].started = running[i].pid > 0;
    running[i].reaped = !results[i].started;
  }
  auto deadline = Clock::now() + rules.limit;
  bool interrupted = false;
  auto nextTick = Clock::now();
  auto killAll = [&](bool overdue) {
    for (std::size_t i = 0; i < running.size(); ++i)
      if (!running[i].reaped && !results[i].timedOut) {
        ::kill(running[i].pid, SIGKILL);
        results[i].timedOut = overdue;
      }
  };
  for (;;) {
    std::vector<pollfd> fds;
    std::vector<std::pair<std::size_t, bool>> owners;  // worker, is standard error
    for (std::size_t i = 0; i < running.size(); ++i) {
      if (running[i].outFd >= 0) {
        fds.push_back({running[i].outFd, POLLIN, 0});
        owners.emplace_back(i, false);
      }
      if (running[i].errFd >= 0) {
        fds.push_back({running[i].errFd, POLLIN, 0});
        owners.emplace_back(i, true);
      }
    }
    bool anyAlive = false;
    for (const Running& r : running) anyAlive = anyAlive || !r.reaped;
    if (fds.empty() && !anyAlive) break;

    const auto now = Clock::now();
    if (now >= nextTick) {
      if (callbacks.onTick) callbacks.onTick();
      nextTick = now + rules.tickEvery;
    }
    // Past the limit (or the grace after an interrupt): whoever is still
    // running is killed; its pipes then end.
    if (now >= deadline) killAll(!interrupted);
    if (interrupts.fd() >= 0) fds.push_back({interrupts.fd(), POLLIN, 0});
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(nextTick, deadline) - now);
    const int timeout = static_cast<int>(std::clamp<long long>(wait.count(), 1, 100));
    // A poll that fails is waited out like a quiet one: leaving the loop
    // would leave workers running unreaped; the time limit still holds.
    if (::poll(fds.data(), fds.size(), timeout) < 0) {
      if (errno != EINTR) ::usleep(static_cast<useconds_t>(timeout) * 1000);
      for (pollfd& f : fds) f.revents = 0;
    }
    for (std::size_t k = 0; k < owners.size(); ++k) {
      if (fds[k].revents == 0) continue;
      const auto [i, isErr] = owners[k];
      Running& r = running[i];
      if (isErr) {
        const bool open = drain(r.errFd, r.errPending);
        handOnLines(i, r.errPending, callbacks.onLine, !open);
        if (!open) closeFd(r.errFd);
      } else {
        const bool open = drain(r.outFd, results[i].out);
        handOnOutLines(i, results[i].out, r.outHanded, callbacks.onOutLine, !open);
        if (!open) closeFd(r.outFd);
      }
    }
    if (interrupts.fd() >= 0 && fds.back().revents != 0) {
      if (const int signal = interrupts.take(); signal != 0) {
        std::size_t alive = 0;
        for (const Running& r : running) alive += r.reaped ? 0 : 1;
        if (callbacks.onInterrupt) callbacks.onInterrupt(signal, interrupted, alive);
        if (interrupted) {
          killAll(false);
        } else {
          interrupted = true;
          for (std::size_t i = 0; i < running.size(); ++i)
            if (!running[i].reaped) {
              ::kill(running[i].pid, signal);
              results[i].interruptedBy = signal;
            }
          deadline = std::min(deadline, Clock::now() + rules.interruptGrace);
        }
      }
    }
    for (std::size_t i = 0; i < running.size(); ++i) {
      Running& r = running[i];
      if (r.reaped) continue;
      int status = 0;
      const pid_t p = ::waitpid(r.pid, &status, WNOHANG);
      if (p != r.pid) continue;
      r.reaped = true;
      if (WIFEXITED(status)) results[i].exitStatus = WEXITSTATUS(status);
      if (WIFSIGNALED(status)) results[i].signal = WTERMSIG(status);
    }
  }
  for (Running& r : running) {
    closeFd(r.outFd);
    closeFd(r.errFd);
  }
  if (callbacks.onTick) callbacks.onTick();
  return results;
}

std::string describeEnd(const WorkerResult& r, const WorkerRules& rules) {
  if (!r.started) return "could not start: " + r.startError;
  if (r.timedOut)
    return format("did not finish within %lld s and was stopped", static_cast<long long>(rules.limit.count() / 1000));
  // Stopped before its job began, or when it did not end after the grace.
  if (r.interruptedBy != 0 && r.signal == r.interruptedBy) return format("interrupted by %s", signalName(r.signal));
  if (r.interruptedBy != 0 && r.signal == SIGKILL)
    return format("stopped: it did not end within %lld s of %s",
                  static_cast<long long>(rules.interruptGrace.count() / 1000), signalName(r.interruptedBy));
  if (r.signal != 0) return format("ended by signal %d (%s)", r.signal, strsignal(r.signal));
  return format("exit %d", r.exitStatus);
}

}  // namespace lw::cli
