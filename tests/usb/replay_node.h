#pragma once
// A recorded adapter behind a node: the device answers from a recording
// made with umockdev-record, under the kernel's hidraw rules. The program's
// requests carry a tag of their own each run (and the check over it), which
// the recording cannot know, so a request matches a recorded one when all
// but its tag and check agree, and every recorded answer goes back with the
// live tag of the request it answers; every other byte must be as
// recorded. An answer input report becomes readable when the request that
// produced it has been sent: after commands 37, 35 and 13, and after the
// last data report of a block write. What the program sends that the
// recording does not have is stalled and noted as a divergence. A recording
// may be replayed any number of times: requests, feature answers and
// answer reports are each looked up from where the last one was found,
// going round, and an answer report belongs to the request whose recorded
// tag it echoes.
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "tests/usb/hidraw_rules.h"
#include "tests/usb/node_calls.h"
#include "tests/usb/poll_signal.h"
#include "tests/usb/umockdev_trace.h"

namespace lw::usbtest {

class ReplayNode final : public NodeCalls, private UsbHidDevice {
 public:
  ReplayNode(HidIdentity identity, const NodeTrace& ioctls, const NodeTrace& script, std::unique_ptr<PollSignal> signal);

  std::vector<std::string> divergences() const;

  long ioctl(ClientId client, unsigned long request, std::span<uint8_t> arg) override;
  long read(ClientId client, std::span<uint8_t> buffer) override;
  long write(ClientId client, std::span<const uint8_t> buffer) override;

 private:
  int setFeature(uint8_t reportId, std::span<const uint8_t> data) override;
  int getFeature(uint8_t reportId, std::size_t length, std::vector<uint8_t>& data) override;
  int interruptOut(std::span<const uint8_t> data) override;

  // The next record of that name after the cursor, going round once, that
  // accepts; its index.
  template <typename Accept>
  std::optional<std::size_t> find(const std::string& name, Accept accept) const;
  void answerDue();
  void diverged(std::string what);

  mutable std::mutex mutex_;
  const HidIdentity identity_;
  const std::size_t reportIdBytes_;  // 1 when the device numbers its reports
  std::vector<IoctlRecord> ioctls_;
  std::size_t cursor_ = 0;
  std::vector<std::vector<uint8_t>> recordedAnswers_;  // input reports on the wire, in order
  std::size_t answerCursor_ = 0;
  std::deque<std::vector<uint8_t>> readable_;
  std::vector<uint8_t> recordedWrites_;
  std::size_t writesMatched_ = 0;
  std::optional<uint8_t> recordedTag_, liveTag_;  // of the request matched last
  std::size_t blockReportsLeft_ = 0;
  std::vector<std::string> divergences_;
  std::unique_ptr<PollSignal> signal_;
};

}  // namespace lw::usbtest
