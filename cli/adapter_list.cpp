#include "cli/adapter_list.h"

#include <vector>

#include "core/text.h"
#include "link/link_api.h"
#include "platform/hid/adapter_choice.h"
#include "platform/hid/hid_api.h"

namespace lw::cli {

std::vector<AdapterEntry> listAdapters() {
  const int n = lw_hid_enumerate_places(nullptr, 0);
  std::vector<lw_hid_place_info> places(static_cast<std::size_t>(n > 0 ? n : 0));
  // Devices may come or go between the two calls: take what the second gives.
  const int got = places.empty() ? 0 : lw_hid_enumerate_places(places.data(), static_cast<int>(places.size()));
  std::vector<AdapterEntry> out;
  for (int i = 0; i < got && i < static_cast<int>(places.size()); ++i) {
    const lw_hid_place_info& p = places[static_cast<std::size_t>(i)];
    if (p.vendor_id != kAdapterVendorId) continue;
    AdapterEntry e;
    e.place = p.place;
    e.port = p.port;
    e.node = p.node;
    e.serial = p.serial;
    e.productId = p.product_id;
    out.push_back(std::move(e));
  }
  return out;
}

std::string adapterModeName(uint16_t productId) {
  switch (productId) {
    case kPidNormal: return "normal";
    case kPidNeedsUpdate:
    case kPidNeedsUpdateAlt: return "needs firmware";
    case kPidFirmwareUpdate: return "firmware update";
    default: return format("product 0x%04X", productId);
  }
}

void identifyAdapters(const LinkApi& link, std::vector<AdapterEntry>& adapters, const std::string& choice) {
  for (AdapterEntry& a : adapters) {
    if (a.productId != kPidNormal) continue;
    if (lw_hid_select_backend(a.place.c_str()) != 0) {
      a.identifyError = -1;
      continue;
    }
    int e = link.connect(kAdapterVendorId, kPidNormal, 0);
    if (e == 0) {
      AdapterIdentity id{};
      e = link.identify(&id);
      if (e == 0) a.identity = id;
      link.disconnect();
    }
    a.identifyError = e;
  }
  lw_hid_select_backend(choice.empty() ? nullptr : choice.c_str());
}

std::string firmwareVersionText(const AdapterIdentity& identity) {
  return format("%X.%X", identity.firmwareMajor, identity.firmwareMinor);
}

std::string placeOfItem(const std::string& item) {
  if (hid::isUsbPortPath(item) || hid::isHidrawNode(item)) return "usb:" + item;
  return item;
}

}  // namespace lw::cli
