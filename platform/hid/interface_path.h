#pragma once
// Device-interface paths in the form the program's device templates match:
//   \\?\HID#Vid_0e6a&Pid_0325#<instance>#{4d1e55b2-f16f-11cf-88cb-001111000030}
// Every backend names its devices this way, in arrival and removal
// notifications and in enumeration.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lw::hid {

inline constexpr char kHidInterfaceClass[] = "{4d1e55b2-f16f-11cf-88cb-001111000030}";

struct DeviceIds {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  bool operator==(const DeviceIds&) const = default;
};

// The path of a device; the instance must not contain '#'.
std::string makeInterfacePath(DeviceIds ids, std::string_view instance);

// The ids spelled in a path, whatever the letter case; nothing when the path
// does not have that form.
std::optional<DeviceIds> idsFromInterfacePath(std::string_view path);

// True when the path starts with the template, ignoring letter case.
bool pathMatchesTemplate(std::string_view path, std::string_view pathTemplate);

// The ids in udev's HID_ID property, "0003:00000E6A:00000325".
std::optional<DeviceIds> idsFromUdevHidId(std::string_view hidId);

}  // namespace lw::hid
