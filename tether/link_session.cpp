#include "tether/link_session.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/codes.h"
#include "tether/firmware/adapter_firmware.h"
#include "tether/firmware/firmware_image.h"

namespace lw::tether {

uint32_t Session::closeLocked() {
  if (handle_ != 0) lw_hid_close(handle_);
  handle_ = 0;
  productId_ = 0;
  featureLength_ = 0;
  device_.handle = 0;
  device_.featureReportLength = 0;
  device_.inputReportLength = 0;
  device_.outputReportLength = 0;
  return 0;
}

uint32_t Session::connect(uint32_t vendorId, uint32_t productId, uint32_t anyAdapter) {
  std::lock_guard lock(mutex_);
  // A device still open from before is closed first, so its handle cannot
  // be used any more by mistake.
  closeLocked();
  if (anyAdapter != 0) {
    if (vendorId == 0) vendorId = kAdapterVendorId;
    if (productId == 0) productId = kPidNormal;
  }
  if (vendorId == 0 || productId == 0 || vendorId > 0xFFFF || productId > 0xFFFF) return err::kInvalidParameter;

  uint32_t error = 0;
  const lw_hid_handle h = lw_hid_open(static_cast<uint16_t>(vendorId), static_cast<uint16_t>(productId), &error);
  if (h == 0) return error != 0 ? error : err::kFileNotFound;
  uint8_t feature = 0, input = 0, output = 0;
  if (const uint32_t e = lw_hid_report_lengths(h, &feature, &input, &output); e != 0) {
    lw_hid_close(h);
    return e;
  }
  handle_ = h;
  productId_ = static_cast<uint16_t>(productId);
  featureLength_ = feature;
  device_.handle = h;
  device_.featureReportLength = feature;
  device_.inputReportLength = input;
  device_.outputReportLength = output;
  return 0;
}

uint32_t Session::disconnect() {
  std::lock_guard lock(mutex_);
  return closeLocked();
}

uint32_t Session::requireRequests() const {
  if (handle_ == 0) return err::kInvalidHandle;
  if (productId_ != kPidNormal || featureLength_ < wire::kRequestLength) return err::kNotSupported;
  return 0;
}

void Session::copyParams(wire::Request& q) const {
  std::memcpy(q.params.data(), ice_.params, q.params.size());
}

uint32_t Session::send(const wire::Request& q) {
  std::vector<uint8_t> report(featureLength_, 0);
  wire::encodeRequest(q, report);
  return lw_hid_set_feature(handle_, report.data(), report.size());
}

uint32_t Session::fetch(std::vector<uint8_t>& report) {
  report.assign(featureLength_, 0);
  return lw_hid_get_feature(handle_, report.data(), report.size());
}

uint32_t Session::identify(wire::IdentifyAnswer& answer) {
  wire::Request q;
  q.kind = wire::RequestKind::kIdentify;
  q.tag = ++ownTag_;
  if (const uint32_t e = send(q); e != 0) return e;
  std::vector<uint8_t> report;
  if (const uint32_t e = fetch(report); e != 0) return e;
  const auto a = wire::decodeIdentifyAnswer(report);
  if (!a || a->tag != q.tag) return err::kInvalidData;
  answer = *a;
  return 0;
}

uint32_t Session::checkFirmware(uint32_t* mismatch) {
  std::lock_guard lock(mutex_);
  if (!mismatch) return err::kInvalidParameter;
  if (handle_ == 0) return err::kInvalidHandle;
  // An adapter that shows itself in needs-update or firmware-update mode has
  // no firmware to talk to: it must get new firmware.
  if (productId_ != kPidNormal) {
    ice_.params[kIceStorageFlag - kIceParam0] = 0;
    *mismatch = 1;
    return 0;
  }
  if (const uint32_t e = requireRequests(); e != 0) return e;
  wire::IdentifyAnswer a;
  if (const uint32_t e = identify(a); e != 0) return e;
  const fwimage::Version ours = fwimage::versionOf(adapterFirmwareImage());
  ice_.params[kIceStorageFlag - kIceParam0] = a.storage != 0 ? 1 : 0;
  *mismatch = fwimage::Version{a.firmwareMajor, a.firmwareMinor} == ours ? 0 : 1;
  return 0;
}

uint32_t Session::sendCommand(uint32_t command, uint32_t flag) {
  std::lock_guard lock(mutex_);
  if (const uint32_t e = requireRequests(); e != 0) return e;
  if (command > 0xFF) return err::kInvalidParameter;
  wire::Request q;
  q.kind = wire::RequestKind::kCommand;
  q.tag = ice_.requestTag;
  q.command = static_cast<uint8_t>(command);
  q.flag = static_cast<uint8_t>(flag);
  copyParams(q);
  return send(q);
}

uint32_t Session::write() {
  std::lock_guard lock(mutex_);
  if (const uint32_t e = requireRequests(); e != 0) return e;
  const uint8_t c = ice_.command;
  if (c != cmd::kWriteCode && c != cmd::kWriteOptions && c != cmd::kWriteOfflineHeader && c != cmd::kWriteOfflineCode)
    return err::kInvalidParameter;
  wire::Request q;
  q.kind = wire::RequestKind::kBlockWrite;
  q.tag = ice_.requestTag;
  q.command = c;
  q.address = ice_.address;
  q.byteCount = ice_.byteCount;
  copyParams(q);
  return send(q);
}

uint32_t Session::readData(uint32_t command, uint8_t* destination, uint32_t address, uint32_t byteCount,
                           ReadProgressFn progress, void* progressContext) {
  std::lock_guard lock(mutex_);
  if (const uint32_t e = requireRequests(); e != 0) return e;
  if (command != cmd::kReadTarget && command != cmd::kReadAdapterCode) return err::kInvalidParameter;
  if (!destination && byteCount != 0) return err::kInvalidParameter;
  // The read-back area holds kReadBackSize bytes; a longer read into it
  // would run over the rest of the process's memory.
  const uint8_t* area = ice_.readBack;
  if (destination >= area && destination < area + kReadBackSize &&
      byteCount > static_cast<std::size_t>(area + kReadBackSize - destination))
    return err::kInvalidParameter;

  wire::Request q;
  q.kind = wire::RequestKind::kRead;
  q.tag = ++ownTag_;
  q.command = static_cast<uint8_t>(command);
  q.address = address;
  q.byteCount = byteCount;
  if (const uint32_t e = send(q); e != 0) return e;

  // Collect everything first: on failure the destination stays as it was.
  std::vector<uint8_t> bytes;
  // Reserved up to what the read-back area holds: a count the adapter will
  // refuse must not first make an allocation that throws out of the library.
  bytes.reserve(std::min<std::size_t>(byteCount, kReadBackSize));
  std::vector<uint8_t> report;
  do {
    if (const uint32_t e = fetch(report); e != 0) return e;
    const auto a = wire::decodeReadAnswer(report);
    if (!a || a->tag != q.tag) return err::kInvalidData;
    if (a->status != 0) return kAdapterStatusBase + a->status;
    const std::size_t remaining = byteCount - bytes.size();
    if (a->offset != bytes.size() || a->length > remaining || (a->length == 0 && remaining != 0))
      return err::kInvalidData;
    bytes.insert(bytes.end(), a->data.begin(), a->data.begin() + a->length);
    if (progress && progress(progressContext, static_cast<uint32_t>(bytes.size()), byteCount) != 0)
      return err::kOperationAborted;
  } while (bytes.size() < byteCount);
  if (byteCount != 0) std::memcpy(destination, bytes.data(), byteCount);
  return 0;
}

uint32_t Session::checkDevice() {
  std::lock_guard lock(mutex_);
  if (handle_ == 0) return err::kInvalidHandle;
  if (productId_ != kPidNormal) return 0;  // present; it just cannot take requests
  if (const uint32_t e = requireRequests(); e != 0) return e;
  wire::IdentifyAnswer a;
  return identify(a);
}

uint32_t Session::identifyAdapter(AdapterIdentity* identity) {
  std::lock_guard lock(mutex_);
  if (!identity) return err::kInvalidParameter;
  if (const uint32_t e = requireRequests(); e != 0) return e;
  wire::IdentifyAnswer a;
  if (const uint32_t e = identify(a); e != 0) return e;
  *identity = {};
  identity->firmwareMajor = a.firmwareMajor;
  identity->firmwareMinor = a.firmwareMinor;
  identity->storage = a.storage;
  identity->targetConnected = a.targetConnected;
  identity->millivolts = a.millivolts;
  identity->storageCapacity = a.storageCapacity;
  std::memcpy(identity->model, a.model.data(), std::min(sizeof identity->model, a.model.size()));
  return 0;
}

}  // namespace lw::tether
