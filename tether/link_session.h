#pragma once
// The Link library's one adapter session: the open device and the requests
// of each entry point. The entry points in entry_points.cpp are thin C
// wrappers around it.
#include <cstdint>
#include <mutex>
#include <vector>

#include "core/abi/link_abi.h"
#include "platform/hid/hid_api.h"
#include "tether/wire/adapter_protocol.h"

namespace lw::tether {

// Results of the entry points besides 0 and the HID layer's error numbers:
// an adapter status that ended a read is returned as this base plus the
// status (core/abi/link_abi.h).
inline constexpr uint32_t kAdapterStatusBase = kReadRefusedBase;

class Session {
 public:
  Session(IceRecord& ice, HidDeviceRecord& device) : ice_(ice), device_(device) {}

  uint32_t connect(uint32_t vendorId, uint32_t productId, uint32_t anyAdapter);
  uint32_t disconnect();
  uint32_t checkFirmware(uint32_t* mismatch);
  uint32_t sendCommand(uint32_t command, uint32_t flag);
  uint32_t write();
  uint32_t readData(uint32_t command, uint8_t* destination, uint32_t address, uint32_t byteCount,
                    ReadProgressFn progress = nullptr, void* progressContext = nullptr);
  uint32_t checkDevice();
  uint32_t identifyAdapter(AdapterIdentity* identity);

 private:
  uint32_t closeLocked();
  // 0 when a device in normal mode is open and its reports can carry requests.
  uint32_t requireRequests() const;
  uint32_t send(const wire::Request& request);
  uint32_t fetch(std::vector<uint8_t>& report);
  uint32_t identify(wire::IdentifyAnswer& answer);
  void copyParams(wire::Request& request) const;

  std::mutex mutex_;
  IceRecord& ice_;
  HidDeviceRecord& device_;
  lw_hid_handle handle_ = 0;
  uint16_t productId_ = 0;
  uint8_t featureLength_ = 0;
  uint8_t ownTag_ = 0x80;  // tags of the library's own requests
};

}  // namespace lw::tether
