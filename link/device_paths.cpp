#include "link/device_paths.h"

#include "core/text.h"

namespace lw {

AdapterPath classifyDevicePath(std::string_view path) {
  if (startsWithIgnoreCase(path, kNormalAdapterPath)) return AdapterPath::Normal;
  if (startsWithIgnoreCase(path, kNeedsUpdatePath)) return AdapterPath::NeedsUpdate;
  if (startsWithIgnoreCase(path, kNeedsUpdateAltPath)) return AdapterPath::NeedsUpdate;
  if (startsWithIgnoreCase(path, kUpdateModePath)) return AdapterPath::UpdateMode;
  return AdapterPath::Other;
}

}  // namespace lw
