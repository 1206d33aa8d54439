#include "link/target_flash_read.h"

#include <algorithm>
#include <cstring>

#include "core/abi/link_abi.h"
#include "core/codes.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "link/adapter_status.h"
#include "link/programming_context.h"
#include "link/read_back.h"

namespace lw {

static_assert(kTargetReadBlock <= kReadBackSize);

TargetFlashRead readTargetFlash(ProgrammingContext& ctx, uint32_t byteCount, OperationPhase phase) {
  TargetFlashRead result;
  if (byteCount == 0) return result;
  result.bytes.reserve(byteCount);
  uint32_t offset = 0;
  do {
    const uint32_t count = std::min(byteCount - offset, kTargetReadBlock);
    const bool last = offset + count == byteCount;
    const ReadBackResult read =
        readBack(ctx, cmd::kReadTarget, count, offset, ReadProgress{phase, offset, byteCount, last});
    if (read.quitting || read.code != 0) {
      result.code = read.code != 0 ? read.code : static_cast<int>(err::kOperationAborted);
      result.quitting = read.quitting;
      result.bytes.clear();
      return result;
    }
    const uint8_t* area = ctx.link.ice->readBack;
    result.bytes.insert(result.bytes.end(), area, area + count);
    offset += count;
  } while (offset < byteCount);
  return result;
}

bool readRefusedAsProtected(int code) {
  return static_cast<uint32_t>(code) == kReadRefusedBase + adapter_status::kReadProtected;
}

void reportTargetReadFailure(AppContext& app, int code) {
  messageByKeys(app, textkey::kError, readRefusedAsProtected(code) ? textkey::kTargetReadProtected : textkey::kTargetNotRead,
                mb::kIconError);
}

}  // namespace lw
