#pragma once
// --json --progress: the adapter operations' progress events as JSON lines
// on standard output, before the result object, for scripts on a
// production line: {"event":"progress","phase":"program","done":1024,"total":65536}.
// A line is written when a phase begins, when its whole percentage moves on
// and when it ends, so a long transfer writes about a hundred lines.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "core/ports/operation_progress_port.h"

namespace lw::cli {

std::string progressJsonLine(const OperationProgress& progress);

class ProgressJsonLines {
 public:
  explicit ProgressJsonLines(std::FILE* out) : out_(out) {}
  void take(const OperationProgress& progress);

 private:
  std::FILE* out_;
  std::optional<OperationProgress> last_;  // the event written last
};

}  // namespace lw::cli
