#include "cli/progress_json_lines.h"

#include "core/json_writer.h"

namespace lw::cli {

namespace {

int percentOf(const OperationProgress& p) { return p.total == 0 ? -1 : static_cast<int>(p.done * 100 / p.total); }

}  // namespace

std::string progressJsonLine(const OperationProgress& p) {
  return JsonObject()
      .add("event", "progress")
      .add("phase", std::string(phaseName(p.phase)))
      .add("done", static_cast<int64_t>(p.done))
      .add("total", static_cast<int64_t>(p.total))
      .str();
}

void ProgressJsonLines::take(const OperationProgress& p) {
  const bool newPhase = !last_ || last_->phase != p.phase || last_->total != p.total || (last_->ended && !p.ended);
  const bool moved = last_ && percentOf(*last_) != percentOf(p);
  const bool endedElsewhere = p.ended && last_ && last_->done != p.done;
  if (!newPhase && !moved && !endedElsewhere) {
    last_ = p;
    return;
  }
  std::fprintf(out_, "%s\n", progressJsonLine(p).c_str());
  std::fflush(out_);
  last_ = p;
}

}  // namespace lw::cli
