#include "update/update_endpoints.h"

#include "core/ports/settings_port.h"
#include "core/text.h"

namespace lw {

std::string builtInUpdateBaseUrl() { return LW_UPDATE_BASE_URL; }

bool isWebUrl(std::string_view text) {
  std::size_t schemeEnd = 0;
  if (startsWithIgnoreCase(text, "http://")) schemeEnd = 7;
  else if (startsWithIgnoreCase(text, "https://")) schemeEnd = 8;
  else return false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  }
  const std::string_view rest = text.substr(schemeEnd);
  const std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
  return !host.empty() && host.front() != ':' && host.front() != '@';
}

std::optional<std::string> normalisedBaseUrl(std::string_view text) {
  while (!text.empty() && text.back() == '/') text.remove_suffix(1);
  if (!isWebUrl(text)) return std::nullopt;
  return std::string(text);
}

std::string resolveUpdateBaseUrl(const char* environmentValue, const std::optional<std::string>& storedValue) {
  if (environmentValue) {
    if (auto url = normalisedBaseUrl(environmentValue)) return *url;
  }
  if (storedValue) {
    if (auto url = normalisedBaseUrl(*storedValue)) return *url;
  }
  return normalisedBaseUrl(builtInUpdateBaseUrl()).value_or("");
}

std::string resolveUpdateBaseUrl(const SettingsPort& settings, const char* environmentValue) {
  return resolveUpdateBaseUrl(environmentValue, settings.readString(kUpdateSettingsSection, kUpdateBaseUrlKey));
}

UpdateEndpoints updateEndpoints(const std::string& baseUrl) {
  return {baseUrl + kVersionFilePath, baseUrl + kDownloadPagePath};
}

}  // namespace lw
