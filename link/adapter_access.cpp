#include "link/adapter_access.h"

#include "core/codes.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"
#include "link/adapter_messages.h"

namespace lw {

bool adapterAccessDenied(const LinkApi& link, int connectResult) {
  if (connectResult == static_cast<int>(err::kAccessDenied)) return true;
  // The normal look-up asks for the normal-mode adapter only; one that waits
  // for new firmware, or sits in firmware-update mode, is asked for too.
  bool denied = false;
  for (const uint16_t pid : {kPidNeedsUpdate, kPidNeedsUpdateAlt, kPidFirmwareUpdate}) {
    const int r = link.connect(kAdapterVendorId, pid, 0);
    if (r == 0) link.disconnect();
    denied = denied || r == static_cast<int>(err::kAccessDenied);
  }
  return denied;
}

bool reportAdapterNotOpened(AppContext& app, const LinkApi& link, int connectResult) {
  const bool denied = adapterAccessDenied(link, connectResult);
  if (denied)
    errorBoxWithText(app, languageTextOf(app, textkey::kTetherAccessDenied));
  else
    messageByKeys(app, textkey::kError, textkey::kTetherMissing, mb::kIconError);
  return denied;
}

}  // namespace lw
