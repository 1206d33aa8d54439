#include "link/block_write.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "core/text.h"
#include "link/adapter_answer.h"
#include "link/adapter_status.h"
#include "link/hid_transport_port.h"
#include "link/adapter_operations_host.h"
#include "link/programming_context.h"
#include "link/run_report.h"
#include "core/ports/event_loop_port.h"

namespace lw {

namespace {

// A block write reports its bytes as the Program phase (Options for the
// option bytes). The Part record's progress offset, which the bar adds to
// the percentages, applies to one block write only.
class ProgressReporter {
 public:
  ProgressReporter(ProgrammingContext& ctx, uint8_t command, uint32_t total)
      : ctx_(ctx),
        phase_(command == cmd::kWriteOptions ? OperationPhase::Options : OperationPhase::Program),
        total_(total) {}
  ~ProgressReporter() { ctx_.app.state.part.progressOffset = 0; }

  void sent(uint32_t done) { ctx_.host.reportProgress({phase_, done, total_, false}); }
  void ended(uint32_t done) { ctx_.host.reportProgress({phase_, done, total_, true}); }

 private:
  ProgrammingContext& ctx_;
  OperationPhase phase_;
  uint32_t total_;
};

}  // namespace

int blockWrite(ProgrammingContext& ctx, uint8_t command, const uint8_t* data, uint32_t address, uint32_t n) {
  ProgressReporter progress(ctx, command, n);
  IceRecord* ice = ctx.link.ice;
  if (!ice || ctx.link.openHandle() == 0) {
    stepFails(ctx.report, "no adapter is open");
    return 0;
  }
  if (n > 0 && !data) return 0;

  const uint16_t sum = n > 0 ? codeChecksum(data, n) : 0;
  std::memset(ice->params, 0, sizeof ice->params);
  ice->params[0] = static_cast<uint8_t>(sum & 0xFF);
  ice->params[1] = static_cast<uint8_t>(sum >> 8);
  ice->command = command;
  ice->address = address;
  ice->byteCount = n;

  // A report carries the report ID and 128 data bytes, padded with zeros to
  // the device's feature-report length. A device whose reports are shorter
  // is refused before the block is announced: an announced block that never
  // gets its data would take the next requests as data.
  const std::size_t reportLength = ctx.link.hidDevice->featureReportLength;
  if (reportLength < 1 + kBlockReportData) {
    stepFails(ctx.report, format("the adapter's feature reports hold %zu bytes, too few for a block", reportLength));
    return 0;
  }

  makeRequestTag(*ice, *ctx.app.ports.clock);
  if (const int announced = ctx.link.writeBlock(); announced != 0) {
    stepFails(ctx.report, callAnswered("ICE_Write", announced));
    return 0;
  }

  std::vector<uint8_t> report(reportLength);

  uint32_t sent = 0;
  while (sent < n) {
    const uint32_t chunk = std::min(n - sent, kBlockReportData);
    std::fill(report.begin(), report.end(), 0);
    report[0] = 0;
    std::memcpy(report.data() + 1, data + sent, chunk);
    // The handle is read again for every report: events dispatched between
    // reports may have closed the adapter.
    const uint32_t handle = ctx.link.openHandle();
    const uint32_t refused = handle == 0 ? err::kInvalidHandle : ctx.hid.setFeature(handle, report.data(), reportLength);
    if (refused != 0) {
      stepFails(ctx.report, format("data report %u of %u was refused: %s (error %u)", sent / kBlockReportData + 1,
                                   (n + kBlockReportData - 1) / kBlockReportData, systemErrorText(refused), refused));
      break;
    }
    sent += chunk;
    progress.sent(sent);
    if (!ctx.loop.dispatchPending()) return 0;  // the program is quitting
  }
  progress.ended(sent);

  AnswerBuffer buffer{};
  // No answer: the block is not confirmed. (After a refused report the
  // answer, if any, says what the adapter made of the short block.)
  if (const uint32_t read = readAnswer(ctx, buffer); read != 0) {
    if (sent == n) stepFails(ctx.report, unreadAnswer(read));
    return 0;
  }
  const AnswerReport answer = parseAnswer(buffer);
  // The tag is not checked for block writes. A block cut short is never
  // confirmed, whatever the answer says.
  if (answer.status == 0 && sent == n) return 1;
  if (sent == n) stepFails(ctx.report, statusAnswer(answer));
  reportAdapterStatus(ctx.app, AdapterStep::BlockWrite, answer);
  return 0;
}

}  // namespace lw
