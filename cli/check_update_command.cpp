// check-update: the manual update check's comparison, printed instead of
// asked; no browser is opened and no setting is changed.
#include <cstdio>
#include <cstdlib>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/codes.h"
#include "core/text.h"
#include "platform/posix/posix_temporary_files.h"
#include "platform/qt/qt_http_download.h"
#include "update/ini_reader.h"
#include "update/own_version.h"
#include "update/update_check.h"
#include "update/version_number.h"

namespace lw::cli {

int runCheckUpdate(const Options& options) {
  std::string base;
  if (!options.updateUrl.empty()) {
    const auto given = normalisedBaseUrl(options.updateUrl);
    if (!given) return usageError("--url needs an http:// or https:// base URL, not '" + options.updateUrl + "'");
    base = *given;
  } else {
    base = resolveUpdateBaseUrl(std::getenv(kUpdateBaseUrlVariable), std::nullopt);
  }
  if (base.empty()) {
    std::fprintf(stderr,
                 "check-update: no update server is configured: give --url BASE, set LOOMWRITE_UPDATE_URL, "
                 "or build with -DLW_UPDATE_BASE_URL=BASE\n");
    return 1;
  }
  const UpdateEndpoints endpoints = updateEndpoints(base);

  PosixTemporaryFiles temporaryFiles("");  // the user's temporary folder only
  QtHttpDownload http;
  IniFileReader ini;
  UpdateCheckPorts ports;
  ports.temporaryFiles = &temporaryFiles;
  ports.http = &http;
  ports.ini = &ini;
  ports.ownVersion = ownProductVersion();
  const int timeoutMs = UpdateTimeouts{}.manualMs;
  const PublishedVersion published = fetchPublishedVersion(ports, endpoints.versionFile, timeoutMs);

  const std::string own = formatVersion(ports.ownVersion);
  JsonObject json;
  json.add("command", "check-update").add("version_file", endpoints.versionFile).add("own_version", own);
  int status = kExitOk;
  if (published.error == err::kInternetTimeout) {
    std::fprintf(stderr, "loomwrite-cli: the update check timed out after %d s (%s)\n", timeoutMs / 1000,
                 endpoints.versionFile.c_str());
    json.add("error", "timed out");
    status = kExitFailed;
  } else if (published.error != 0) {
    std::fprintf(stderr, "loomwrite-cli: the version file could not be fetched from %s: %s\n",
                 endpoints.versionFile.c_str(), systemErrorText(published.error));
    json.add("error", systemErrorText(published.error));
    status = kExitFailed;
  } else if (published.version.empty()) {
    std::fprintf(stderr, "loomwrite-cli: %s holds no \"Version\" in section [VORO0Ruza_Tether]\n",
                 endpoints.versionFile.c_str());
    json.add("error", "no version in the answer");
    status = kExitFailed;
  } else {
    const std::string newest = formatVersion(published.packed);
    const bool newer = published.packed > ports.ownVersion;
    json.add("published_version", newest).add("update_available", newer).add("download_url", endpoints.downloadPage);
    json.add("announced_url", published.url);
    if (!options.json) {
      std::printf("Own version:       %s\nPublished version: %s\n", own.c_str(), newest.c_str());
      if (newer) std::printf("An update package is available: %s\n", endpoints.downloadPage.c_str());
      else std::printf("Up to date.\n");
    }
  }
  return finish(options, json, status, nullptr);
}

}  // namespace lw::cli
