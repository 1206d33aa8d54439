#pragma once
// Recognising the adapter in a device-interface path: four path templates
// of the adapter's vendor id, compared without regard to letter case
// against the start of the path.
#include <string_view>

namespace lw {

inline constexpr std::string_view kNormalAdapterPath = R"(\\?\HID#Vid_0e6a&Pid_0325#)";
inline constexpr std::string_view kNeedsUpdatePath = R"(\\?\HID#Vid_0e6a&Pid_0331#)";
inline constexpr std::string_view kNeedsUpdateAltPath = R"(\\?\HID#Vid_0e6a&Pid_0FFF#)";
inline constexpr std::string_view kUpdateModePath = R"(\\?\HID#Vid_0e6a&Pid_030b#)";
static_assert(kNormalAdapterPath.size() == 26);

enum class AdapterPath {
  Other,
  Normal,       // adapter in normal mode
  NeedsUpdate,  // adapter whose firmware must be replaced (either template)
  UpdateMode,   // adapter in firmware-update mode
};

AdapterPath classifyDevicePath(std::string_view interfacePath);

}  // namespace lw
