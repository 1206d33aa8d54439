#include "tests/usb/poll_signal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace lw::usbtest {

PollSignal::PollSignal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    if (master_ >= 0) ::close(master_);
    throw std::runtime_error("no pseudo-terminal for an emulated node");
  }
  slavePath_ = ::ptsname(master_);
  drain_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios raw{};
  if (drain_ < 0 || ::tcgetattr(drain_, &raw) != 0) {
    ::close(master_);
    if (drain_ >= 0) ::close(drain_);
    throw std::runtime_error("cannot open " + slavePath_);
  }
  // Bytes pass through unchanged and one byte makes the node readable. A
  // full queue (thousands of unread reports) drops a byte rather than
  // blocking the harness; the node stays readable all the same.
  ::cfmakeraw(&raw);
  ::tcsetattr(drain_, TCSANOW, &raw);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PollSignal::~PollSignal() { hangUp(); }

void PollSignal::raise() {
  const char wake = 'r';
  if (master_ >= 0) {
    while (::write(master_, &wake, 1) < 0 && errno == EINTR) {
    }
  }
}

void PollSignal::lower() {
  char byte = 0;
  if (drain_ >= 0) {
    while (::read(drain_, &byte, 1) < 0 && errno == EINTR) {
    }
  }
}

void PollSignal::hangUp() {
  if (drain_ >= 0) ::close(drain_);
  if (master_ >= 0) ::close(master_);
  drain_ = master_ = -1;
}

}  // namespace lw::usbtest
