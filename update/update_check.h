#pragma once
// The update check: downloads the published version file, compares its
// "Version" with the program's own and, when a newer release exists, offers
// to open the download page. Start-up mode (1) is quiet when up to date and
// lets the user turn the start-up check off; manual mode (0) also says
// "up to date".
#include <cstdint>
#include <string>

#include "core/ports/update_check_port.h"
#include "update/update_endpoints.h"

namespace lw {

struct AppContext;
class HttpDownloadPort;
class IniFilePort;
class MessageBoxPort;
class SettingsPort;
class TemporaryFilePort;
class UrlOpenerPort;

inline constexpr int kUpdateManualMode = 0;
inline constexpr int kUpdateStartupMode = 1;

struct UpdateCheckPorts {
  TemporaryFilePort* temporaryFiles = nullptr;
  HttpDownloadPort* http = nullptr;
  IniFilePort* ini = nullptr;
  UrlOpenerPort* browser = nullptr;
  MessageBoxPort* messages = nullptr;
  SettingsPort* settings = nullptr;
  uint32_t ownVersion = 0;  // packed, see version_number.h
  // The Language table in use for the boxes' texts, read at each check (the
  // window's language may change); null: English.
  const AppContext* texts = nullptr;
};

// How long a whole check may take (temporary file, connection, transfer).
struct UpdateTimeouts {
  int startupMs = 5000;
  int manualMs = 15000;
};

// What the version file announced. error is 0 when the file was
// downloaded; version is empty when it held no "Version" in the section.
struct PublishedVersion {
  uint32_t error = 0;
  std::string version;  // as written in the file (at most 31 characters)
  std::string url;      // the file's "URL" (at most 259 characters)
  uint32_t packed = 0;  // version packed
};

// Downloads and reads the version file; the temporary file is removed
// before it returns, whatever happened.
PublishedVersion fetchPublishedVersion(const UpdateCheckPorts& ports, const std::string& versionFileUrl, int timeoutMs);

// The whole check in one mode. Returns 0, or the error of the temporary
// file or the download (shown to nobody: callers ignore it).
uint32_t checkForUpdate(const UpdateCheckPorts& ports, const UpdateEndpoints& endpoints, int mode, int timeoutMs);

// UpdateCheckPort over checkForUpdate, with the bound of each mode.
class UpdateCheck final : public UpdateCheckPort {
 public:
  UpdateCheck(const UpdateCheckPorts& ports, std::string baseUrl, UpdateTimeouts timeouts = {});
  void run(int mode) override;
  uint32_t lastResult() const { return lastResult_; }

 private:
  UpdateCheckPorts ports_;
  bool configured_;
  UpdateEndpoints endpoints_;
  UpdateTimeouts timeouts_;
  uint32_t lastResult_ = 0;
};

// lastResult() of a check that had no server to ask (no base URL built in
// or given).
inline constexpr uint32_t kNoUpdateServer = 0xFFFFFFFF;

}  // namespace lw
