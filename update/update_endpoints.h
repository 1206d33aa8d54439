#pragma once
// Where the update check looks: the maker's web server (a build setting,
// LW_UPDATE_BASE_URL, that the settings store or the environment may
// override) and the two fixed paths on it.
#include <optional>
#include <string>
#include <string_view>

namespace lw {

class SettingsPort;

inline constexpr char kVersionFilePath[] = "/upload/media/8051/Tools/tools_version.ini";
inline constexpr char kDownloadPagePath[] = "/zh-tw/support/downloadDocument/274/979";

// The override in the settings store (section "Update", key "BaseURL") and
// in the environment; the environment wins.
inline constexpr char kUpdateSettingsSection[] = "Update";
inline constexpr char kUpdateBaseUrlKey[] = "BaseURL";
inline constexpr char kUpdateBaseUrlVariable[] = "LOOMWRITE_UPDATE_URL";

// The base URL built in (scheme and host, no trailing slash).
std::string builtInUpdateBaseUrl();

// Whether text is an absolute http:// or https:// URL with a host and no
// blanks or control characters: the only URLs the check hands to the
// browser or asks the server for.
bool isWebUrl(std::string_view text);

// A base URL as given (trailing slashes dropped), or nothing when it is not
// a web URL.
std::optional<std::string> normalisedBaseUrl(std::string_view text);

// The environment's value if usable, else the one stored in the settings,
// else the built-in one. environmentValue may be null.
std::string resolveUpdateBaseUrl(const char* environmentValue, const std::optional<std::string>& storedValue);
std::string resolveUpdateBaseUrl(const SettingsPort& settings, const char* environmentValue);

struct UpdateEndpoints {
  std::string versionFile;   // base + kVersionFilePath
  std::string downloadPage;  // base + kDownloadPagePath
};
UpdateEndpoints updateEndpoints(const std::string& baseUrl);

}  // namespace lw
