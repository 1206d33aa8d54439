#include "platform/hid/interface_path.h"

#include <charconv>

#include "core/text.h"

namespace lw::hid {
namespace {

std::optional<uint32_t> hexNumber(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string makeInterfacePath(DeviceIds ids, std::string_view instance) {
  return format("\\\\?\\HID#Vid_%04x&Pid_%04x#%.*s#%s", ids.vendorId, ids.productId,
                static_cast<int>(instance.size()), instance.data(), kHidInterfaceClass);
}

std::optional<DeviceIds> idsFromInterfacePath(std::string_view path) {
  static constexpr std::string_view kPrefix = "\\\\?\\hid#vid_";
  if (!startsWithIgnoreCase(path, kPrefix)) return std::nullopt;
  path.remove_prefix(kPrefix.size());
  if (path.size() < 14 || path[13] != '#') return std::nullopt;
  const auto vendor = hexNumber(path.substr(0, 4), 4);
  if (!vendor || !startsWithIgnoreCase(path.substr(4), "&pid_")) return std::nullopt;
  const auto product = hexNumber(path.substr(9, 4), 4);
  if (!product) return std::nullopt;
  return DeviceIds{static_cast<uint16_t>(*vendor), static_cast<uint16_t>(*product)};
}

bool pathMatchesTemplate(std::string_view path, std::string_view pathTemplate) {
  return startsWithIgnoreCase(path, pathTemplate);
}

std::optional<DeviceIds> idsFromUdevHidId(std::string_view hidId) {
  const std::size_t first = hidId.find(':');
  const std::size_t second = first == std::string_view::npos ? first : hidId.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto vendor = hexNumber(hidId.substr(first + 1, second - first - 1), 8);
  const auto product = hexNumber(hidId.substr(second + 1), 8);
  if (!vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) return std::nullopt;
  return DeviceIds{static_cast<uint16_t>(*vendor), static_cast<uint16_t>(*product)};
}

}  // namespace lw::hid
