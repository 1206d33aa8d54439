#include "platform/hid_link/lw_hid_transport.h"

#include "platform/hid/hid_api.h"

namespace lw {

uint32_t LwHidTransport::setFeature(uint32_t handle, const uint8_t* report, std::size_t length) {
  return lw_hid_set_feature(handle, report, length);
}

uint32_t LwHidTransport::getFeature(uint32_t handle, uint8_t* report, std::size_t length) {
  return lw_hid_get_feature(handle, report, length);
}

uint32_t LwHidTransport::readInput(uint32_t handle, uint8_t* report, std::size_t length, uint32_t timeoutMs) {
  return lw_hid_read_input(handle, report, length, timeoutMs);
}

void LwHidTransport::cancelIo(uint32_t handle) { lw_hid_cancel_io(handle); }

void LwHidTransport::followLastDevice(bool on) { lw_hid_follow_last(on ? 1 : 0); }

uint32_t LwHidTransport::writeOutput(uint32_t handle, const uint8_t* report, std::size_t length) {
  return lw_hid_write_output(handle, report, length);
}

}  // namespace lw
