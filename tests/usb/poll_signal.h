#pragma once
// What poll() sees on an emulated node. umockdev hands a node's ioctl, read
// and write calls to the harness, but poll() and select() reach the file the
// node is, which umockdev does not wrap. So the node is the slave side of a
// pseudo-terminal the harness holds: it is readable exactly while reports
// wait (one byte per report), and it hangs up when the device leaves, which
// poll() reports as POLLHUP, as it does for a hidraw node whose device is gone.
#include <string>

namespace lw::usbtest {

class PollSignal {
 public:
  PollSignal();  // throws std::runtime_error when no pseudo-terminal can be had
  ~PollSignal();
  PollSignal(const PollSignal&) = delete;
  PollSignal& operator=(const PollSignal&) = delete;

  const std::string& path() const { return slavePath_; }  // "/dev/pts/3"
  void raise();  // one more report waits
  void lower();  // one fewer
  void hangUp();

 private:
  int master_ = -1;
  int drain_ = -1;  // the harness's own slave end, to take the bytes back
  std::string slavePath_;
};

}  // namespace lw::usbtest
