#pragma once
// HidTransportPort over the HID platform layer (platform/hid/hid_api.h),
// which shares its handles with the Link library.
#include "link/hid_transport_port.h"

namespace lw {

class LwHidTransport final : public HidTransportPort {
 public:
  uint32_t setFeature(uint32_t handle, const uint8_t* report, std::size_t length) override;
  uint32_t getFeature(uint32_t handle, uint8_t* report, std::size_t length) override;
  uint32_t readInput(uint32_t handle, uint8_t* report, std::size_t length, uint32_t timeoutMs) override;
  void cancelIo(uint32_t handle) override;
  uint32_t writeOutput(uint32_t handle, const uint8_t* report, std::size_t length) override;
  void followLastDevice(bool on) override;
};

}  // namespace lw
