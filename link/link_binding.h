#pragma once
// The Link library's entry points and shared records, looked up by name once
// when the main window initialises. Anything the module does not export stays
// nullptr; callers check before use, so a damaged or foreign module gives a
// clear failure instead of a jump through a null pointer.
#include <cstdint>
#include <span>

#include "link/link_records.h"
#include "platform/ports/module_port.h"

namespace lw {

struct LinkBinding {
  ICE_WriteFn iceWrite = nullptr;
  ICE_Send_CommandFn iceSendCommand = nullptr;
  ICE_Read_DataFn iceReadData = nullptr;
  CheckDeviceFn checkDevice = nullptr;
  ICE_Check_FirmwareFn iceCheckFirmware = nullptr;
  ConnectHIDDeviceFn connectHidDevice = nullptr;
  DisconnectHIDDeviceFn disconnectHidDevice = nullptr;
  IceRecord* ice = nullptr;
  HidDeviceRecord* hidDevice = nullptr;
  ModuleResourceFn moduleResource = nullptr;

  // Every entry point the operations call and both records are present.
  bool complete() const {
    return iceWrite && iceSendCommand && iceReadData && iceCheckFirmware && connectHidDevice &&
           disconnectHidDevice && ice && hidDevice;
  }
};

namespace detail {
template <typename Fn>
Fn entryPoint(ModulePort& modules, ModuleHandle library, const char* name) {
  return reinterpret_cast<Fn>(modules.symbol(library, name));
}
}  // namespace detail

// Looks up the module's resource accessor on its own; the title needs the
// firmware version before the rest of the library is bound.
inline ModuleResourceFn bindModuleResource(ModulePort& modules, ModuleHandle library) {
  if (!library) return nullptr;
  return detail::entryPoint<ModuleResourceFn>(modules, library, kModuleResourceSymbol);
}

inline LinkBinding bindLinkLibrary(ModulePort& modules, ModuleHandle library) {
  LinkBinding b;
  if (!library) return b;
  b.iceWrite = detail::entryPoint<ICE_WriteFn>(modules, library, "ICE_Write");
  b.iceSendCommand = detail::entryPoint<ICE_Send_CommandFn>(modules, library, "ICE_Send_Command");
  b.iceReadData = detail::entryPoint<ICE_Read_DataFn>(modules, library, "ICE_Read_Data");
  b.checkDevice = detail::entryPoint<CheckDeviceFn>(modules, library, "CheckDevice");
  b.iceCheckFirmware = detail::entryPoint<ICE_Check_FirmwareFn>(modules, library, "ICE_Check_Firmware");
  b.connectHidDevice = detail::entryPoint<ConnectHIDDeviceFn>(modules, library, "ConnectHIDDevice");
  b.disconnectHidDevice = detail::entryPoint<DisconnectHIDDeviceFn>(modules, library, "DisconnectHIDDevice");
  b.ice = static_cast<IceRecord*>(modules.symbol(library, "Ice"));
  b.hidDevice = static_cast<HidDeviceRecord*>(modules.symbol(library, "HidDevice"));
  b.moduleResource = bindModuleResource(modules, library);
  return b;
}

// The bytes of one of the module's resources; empty when there is none.
inline std::span<const uint8_t> moduleResource(ModuleResourceFn accessor, const char* type, uint32_t id) {
  if (!accessor) return {};
  uint32_t size = 0;
  const uint8_t* bytes = accessor(type, id, &size);
  if (!bytes || size == 0) return {};
  return {bytes, size};
}

// The adapter firmware image the module carries ("FW" 5002).
inline std::span<const uint8_t> firmwareImage(ModuleResourceFn accessor) {
  return moduleResource(accessor, kFirmwareResourceType, kFirmwareResourceId);
}

}  // namespace lw
