#include "link/link_api.h"

namespace lw {

bool LinkApi::complete() const {
  return connectHidDevice && disconnectHidDevice && checkFirmware && sendCommand && write && readData && ice &&
         hidDevice;
}

namespace {

template <typename Fn>
Fn bound(ModulePort& modules, ModuleHandle module, const char* name) {
  return reinterpret_cast<Fn>(modules.symbol(module, name));
}

}  // namespace

LinkApi bindLinkLibrary(ModulePort& modules, ModuleHandle module) {
  LinkApi api;
  if (!module) return api;
  api.connectHidDevice = bound<ConnectHIDDeviceFn>(modules, module, "ConnectHIDDevice");
  api.disconnectHidDevice = bound<DisconnectHIDDeviceFn>(modules, module, "DisconnectHIDDevice");
  api.checkFirmware = bound<ICE_Check_FirmwareFn>(modules, module, "ICE_Check_Firmware");
  api.sendCommand = bound<ICE_Send_CommandFn>(modules, module, "ICE_Send_Command");
  api.write = bound<ICE_WriteFn>(modules, module, "ICE_Write");
  api.readData = bound<ICE_Read_DataFn>(modules, module, "ICE_Read_Data");
  api.checkDevice = bound<CheckDeviceFn>(modules, module, "CheckDevice");
  api.ice = static_cast<IceRecord*>(modules.symbol(module, "Ice"));
  api.hidDevice = static_cast<HidDeviceRecord*>(modules.symbol(module, "HidDevice"));
  api.moduleResource = bound<ModuleResourceFn>(modules, module, kModuleResourceSymbol);
  api.identifyAdapter = bound<IdentifyAdapterFn>(modules, module, kIdentifyAdapterSymbol);
  api.readDataProgress = bound<ReadDataProgressFn>(modules, module, kReadDataProgressSymbol);
  return api;
}

std::span<const uint8_t> firmwareImage(const LinkApi& link) {
  if (!link.moduleResource) return {};
  uint32_t size = 0;
  const uint8_t* bytes = link.moduleResource(kFirmwareResourceType, kFirmwareResourceId, &size);
  if (!bytes || size == 0) return {};
  return {bytes, size};
}

}  // namespace lw
