// The Link library's exported entry points and records.
#include <type_traits>

#include "core/abi/link_abi.h"
#include "tether/link_session.h"

#define LW_EXPORT __attribute__((visibility("default")))

extern "C" {
LW_EXPORT lw::IceRecord Ice{};
LW_EXPORT lw::HidDeviceRecord HidDevice{};
}

namespace {

lw::tether::Session& session() {
  static lw::tether::Session instance(Ice, HidDevice);
  return instance;
}

int result(uint32_t code) { return static_cast<int>(code); }

}  // namespace

extern "C" {

LW_EXPORT int ConnectHIDDevice(uint32_t vendorId, uint32_t productId, uint32_t anyAdapter) {
  return result(session().connect(vendorId, productId, anyAdapter));
}

LW_EXPORT int DisconnectHIDDevice() { return result(session().disconnect()); }

LW_EXPORT int ICE_Check_Firmware(uint32_t* mismatch) { return result(session().checkFirmware(mismatch)); }

LW_EXPORT int ICE_Send_Command(uint32_t command, uint32_t flag) {
  return result(session().sendCommand(command, flag));
}

LW_EXPORT int ICE_Write() { return result(session().write()); }

LW_EXPORT int ICE_Read_Data(uint32_t command, uint8_t* destination, uint32_t address, uint32_t byteCount) {
  return result(session().readData(command, destination, address, byteCount));
}

LW_EXPORT int LW_Read_Data_Progress(uint32_t command, uint8_t* destination, uint32_t address, uint32_t byteCount,
                                    lw::ReadProgressFn progress, void* context) {
  return result(session().readData(command, destination, address, byteCount, progress, context));
}

LW_EXPORT int CheckDevice() { return result(session().checkDevice()); }

LW_EXPORT int LW_IdentifyAdapter(lw::AdapterIdentity* identity) {
  return result(session().identifyAdapter(identity));
}

}  // extern "C"

// The exported functions must keep the types the program binds them with.
static_assert(std::is_same_v<decltype(&ConnectHIDDevice), lw::ConnectHIDDeviceFn>);
static_assert(std::is_same_v<decltype(&DisconnectHIDDevice), lw::DisconnectHIDDeviceFn>);
static_assert(std::is_same_v<decltype(&ICE_Check_Firmware), lw::ICE_Check_FirmwareFn>);
static_assert(std::is_same_v<decltype(&ICE_Send_Command), lw::ICE_Send_CommandFn>);
static_assert(std::is_same_v<decltype(&ICE_Write), lw::ICE_WriteFn>);
static_assert(std::is_same_v<decltype(&ICE_Read_Data), lw::ICE_Read_DataFn>);
static_assert(std::is_same_v<decltype(&CheckDevice), lw::CheckDeviceFn>);
static_assert(std::is_same_v<decltype(&LW_IdentifyAdapter), lw::IdentifyAdapterFn>);
static_assert(std::is_same_v<decltype(&LW_Read_Data_Progress), lw::ReadDataProgressFn>);
