// The Link library's version block and its resources: the adapter firmware
// image is its "FW" 5002 resource.
#include <type_traits>

#include "core/text.h"
#include "core/abi/version_block.h"
#include "core/abi/link_abi.h"
#include "tether/firmware/adapter_firmware.h"

LW_MODULE_VERSION_BLOCK(LinkLibraryVersion, 1, 4, 0, 0);

extern "C" __attribute__((visibility("default"))) const uint8_t* LW_ModuleResource(const char* type, uint32_t id,
                                                                                    uint32_t* size) {
  // Resource type names compare without regard to case.
  if (type && id == lw::kFirmwareResourceId && lw::equalsIgnoreCase(type, lw::kFirmwareResourceType)) {
    const auto image = lw::adapterFirmwareImage();
    if (size) *size = static_cast<uint32_t>(image.size());
    return image.data();
  }
  if (size) *size = 0;
  return nullptr;
}

static_assert(std::is_same_v<decltype(&LW_ModuleResource), lw::ModuleResourceFn>);
