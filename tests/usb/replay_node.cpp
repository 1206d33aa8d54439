#include "tests/usb/replay_node.h"

#include <algorithm>
#include <cerrno>

#include "core/text.h"
#include "platform/hid/report_descriptor.h"
#include "tether/wire/adapter_protocol.h"

namespace lw::usbtest {
namespace {

constexpr char kSetFeature[] = "HIDIOCSFEATURE(0)";
constexpr char kGetFeature[] = "HIDIOCGFEATURE(0)";

// Commands whose request is answered with an input report.
bool answeredCommand(const wire::Request& r) {
  return r.kind == wire::RequestKind::kCommand && (r.command == 37 || r.command == 35 || r.command == 13);
}

bool sameButTag(wire::Request a, wire::Request b) {
  a.tag = b.tag;
  return a.kind == b.kind && a.command == b.command && a.flag == b.flag && a.address == b.address &&
         a.byteCount == b.byteCount && a.params == b.params;
}

// The tag of a feature answer that carries one (report-ID byte first).
std::optional<uint8_t> answerTag(std::span<const uint8_t> report) {
  if (auto a = wire::decodeIdentifyAnswer(report)) return a->tag;
  if (auto a = wire::decodeReadAnswer(report)) return a->tag;
  return std::nullopt;
}

void retag(std::span<uint8_t> report, uint8_t tag) {
  if (auto a = wire::decodeIdentifyAnswer(report)) {
    a->tag = tag;
    wire::encodeIdentifyAnswer(*a, report);
  } else if (auto r = wire::decodeReadAnswer(report)) {
    r->tag = tag;
    wire::encodeReadAnswer(*r, report);
  }
}

hid::DescriptorLengths lengthsOf(const std::vector<uint8_t>& descriptor) {
  return hid::lengthsFromDescriptor(descriptor).value_or(hid::DescriptorLengths{});
}

std::string head(std::span<const uint8_t> bytes) {
  std::string out;
  for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 12); ++i) out += format("%02X", bytes[i]);
  return out + (bytes.size() > 12 ? "..." : "");
}

}  // namespace

ReplayNode::ReplayNode(HidIdentity identity, const NodeTrace& ioctls, const NodeTrace& script,
                       std::unique_ptr<PollSignal> signal)
    : identity_(std::move(identity)),
      reportIdBytes_(lengthsOf(identity_.descriptor).numberedReports ? 1 : 0),
      ioctls_(ioctls.ioctls),
      signal_(std::move(signal)) {
  // A read record may hold several reports read within 10 ms of each other.
  const uint32_t input = lengthsOf(identity_.descriptor).input;
  const std::size_t size = input > 0 ? input - 1 + reportIdBytes_ : 0;
  for (const ScriptRecord& r : script.script) {
    if (r.op == 'w') recordedWrites_.insert(recordedWrites_.end(), r.data.begin(), r.data.end());
    for (std::size_t at = 0; r.op == 'r' && size > 0 && at < r.data.size(); at += size)
      recordedAnswers_.emplace_back(r.data.begin() + static_cast<std::ptrdiff_t>(at),
                                    r.data.begin() + static_cast<std::ptrdiff_t>(std::min(at + size, r.data.size())));
  }
}

std::vector<std::string> ReplayNode::divergences() const {
  std::lock_guard lock(mutex_);
  return divergences_;
}

void ReplayNode::diverged(std::string what) {
  if (divergences_.size() < 10) divergences_.push_back(std::move(what));
}

template <typename Accept>
std::optional<std::size_t> ReplayNode::find(const std::string& name, Accept accept) const {
  for (std::size_t n = 0; n < ioctls_.size(); ++n) {
    const std::size_t i = (cursor_ + n) % ioctls_.size();
    if (ioctls_[i].name == name && accept(ioctls_[i])) return i;
  }
  return std::nullopt;
}

long ReplayNode::ioctl(ClientId, unsigned long request, std::span<uint8_t> arg) {
  std::lock_guard lock(mutex_);
  return hidrawIoctl(this, identity_, request, arg);
}

long ReplayNode::read(ClientId, std::span<uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  const long r = hidrawRead(readable_.empty() ? nullptr : &readable_.front(), true, buffer);
  if (r >= 0) {
    readable_.pop_front();
    signal_->lower();
  }
  return r;
}

long ReplayNode::write(ClientId, std::span<const uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  return hidrawWrite(this, buffer);
}

int ReplayNode::setFeature(uint8_t reportId, std::span<const uint8_t> wire) {
  std::vector<uint8_t> live(wire.begin(), wire.end());
  if (reportId == 0) live.insert(live.begin(), 0);
  const auto request = wire::decodeRequest(live);
  const auto match = find(kSetFeature, [&](const IoctlRecord& r) {
    if (r.data.size() != live.size()) return false;
    const auto recorded = wire::decodeRequest(r.data);
    return request && recorded ? sameButTag(*request, *recorded) : r.data == live;
  });
  if (!match) {
    diverged("the program sent the feature report " + head(live) + ", which the recording does not have");
    return -EPIPE;
  }
  cursor_ = *match + 1;
  if (request) {
    recordedTag_ = wire::decodeRequest(ioctls_[*match].data)->tag;
    liveTag_ = request->tag;
    blockReportsLeft_ = request->kind == wire::RequestKind::kBlockWrite
                            ? (request->byteCount + wire::kBlockDataPerReport - 1) / wire::kBlockDataPerReport
                            : 0;
    if (answeredCommand(*request) || (request->kind == wire::RequestKind::kBlockWrite && blockReportsLeft_ == 0))
      answerDue();
  } else if (blockReportsLeft_ > 0 && --blockReportsLeft_ == 0) {
    answerDue();
  }
  return 0;
}

int ReplayNode::getFeature(uint8_t reportId, std::size_t length, std::vector<uint8_t>& data) {
  const std::size_t size = length + (reportId == 0 ? 1 : 0);
  const auto match = find(kGetFeature, [&](const IoctlRecord& r) {
    if (r.data.size() != size || r.data[0] != reportId) return false;
    const auto tag = answerTag(r.data);
    return !tag || !recordedTag_ || *tag == *recordedTag_;
  });
  if (!match) {
    diverged(format("the program asked for a feature report of %zu bytes the recording has no answer for", size));
    return -EPIPE;
  }
  cursor_ = *match + 1;
  std::vector<uint8_t> answer = ioctls_[*match].data;
  if (liveTag_ && answerTag(answer)) retag(answer, *liveTag_);
  data.assign(answer.begin() + (reportId == 0 ? 1 : 0), answer.end());
  return static_cast<int>(data.size());
}

int ReplayNode::interruptOut(std::span<const uint8_t> wire) {
  const auto at = recordedWrites_.begin() + static_cast<std::ptrdiff_t>(writesMatched_);
  if (recordedWrites_.size() - writesMatched_ < wire.size() || !std::equal(wire.begin(), wire.end(), at)) {
    diverged("the program wrote the output report " + head(wire) + ", which the recording does not have");
    return -EPIPE;
  }
  writesMatched_ += wire.size();
  return 0;
}

// The recorded answer of the request just matched, with the live tag.
void ReplayNode::answerDue() {
  const std::size_t tagAt = reportIdBytes_;  // the tag echo is the first byte after the report ID
  for (std::size_t n = 0; n < recordedAnswers_.size(); ++n) {
    const std::size_t i = (answerCursor_ + n) % recordedAnswers_.size();
    std::vector<uint8_t> answer = recordedAnswers_[i];
    if (answer.size() <= tagAt || answer[tagAt] != recordedTag_) continue;
    answerCursor_ = i + 1;
    answer[tagAt] = *liveTag_;
    readable_.push_back(std::move(answer));
    signal_->raise();
    return;
  }
  diverged("the recording has no answer report for a request that gets one");
}

}  // namespace lw::usbtest
