// check-update: the manual update check's comparison, printed instead of
// asked; no browser is opened and no setting is changed. URLs are shown
// with any user name and password masked.
#include <cstdio>
#include <cstdlib>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "core/json_writer.h"
#include "cli/qt_module.h"
#include "core/codes.h"
#include "core/text.h"
#include "platform/posix/posix_temporary_files.h"
#include "update/ini_reader.h"
#include "update/own_version.h"
#include "update/update_check.h"
#include "update/url_credentials.h"
#include "update/version_number.h"

namespace lw::cli {

int runCheckUpdate(const Options& options) {
  JsonObject json;
  json.add("command", "check-update");
  auto fail = [&](const std::string& message, const std::string& error) {
    std::fprintf(stderr, "loomwrite-cli: %s\n", message.c_str());
    json.add("error", error);
    return finish(options, json, kExitFailed, nullptr);
  };
  std::string base;
  if (!options.updateUrl.empty()) {
    const auto given = normalisedBaseUrl(options.updateUrl);
    if (!given)
      return usageError("--url needs an http:// or https:// base URL, not '" + withCredentialsMasked(options.updateUrl) +
                        "'");
    base = *given;
  } else {
    base = resolveUpdateBaseUrl(std::getenv(kUpdateBaseUrlVariable), std::nullopt);
  }
  if (base.empty())
    return fail("no update server is configured: give --url BASE, set LOOMWRITE_UPDATE_URL, "
                "or build with -DLW_UPDATE_BASE_URL=BASE",
                "no update server");
  const UpdateEndpoints endpoints = updateEndpoints(base);
  const std::string shownVersionFile = withCredentialsMasked(endpoints.versionFile);
  const std::string own = formatVersion(ownProductVersion());
  json.add("version_file", shownVersionFile).add("own_version", own);

  std::string unloaded;
  const QtModule* qt = QtModule::get(unloaded);
  if (!qt) return fail(unloaded, "the download module cannot be loaded");
  PosixTemporaryFiles temporaryFiles("");  // the user's temporary folder only
  ModuleHttpDownload http(*qt);
  IniFileReader ini;
  UpdateCheckPorts ports;
  ports.temporaryFiles = &temporaryFiles;
  ports.http = &http;
  ports.ini = &ini;
  ports.ownVersion = ownProductVersion();
  const int timeoutMs = UpdateTimeouts{}.manualMs;
  const PublishedVersion published = fetchPublishedVersion(ports, endpoints.versionFile, timeoutMs);

  if (published.error == err::kInternetTimeout)
    return fail(format("the update check timed out after %d s (%s)", timeoutMs / 1000, shownVersionFile.c_str()),
                "timed out");
  if (published.error != 0)
    return fail(format("the version file could not be fetched from %s: %s", shownVersionFile.c_str(),
                       systemErrorText(published.error)),
                systemErrorText(published.error));
  if (published.version.empty())
    return fail(shownVersionFile + " holds no \"Version\" in section [VORO0Ruza_Tether]", "no version in the answer");

  const std::string newest = formatVersion(published.packed);
  const bool newer = published.packed > ports.ownVersion;
  const std::string downloadPage = withCredentialsMasked(endpoints.downloadPage);
  json.add("published_version", newest).add("update_available", newer).add("download_url", downloadPage);
  json.add("announced_url", withCredentialsMasked(published.url));
  if (!options.json) {
    std::printf("Own version:       %s\nPublished version: %s\n", own.c_str(), newest.c_str());
    if (newer) std::printf("An update package is available: %s\n", downloadPage.c_str());
    else std::printf("Up to date.\n");
  }
  return finish(options, json, kExitOk, nullptr);
}

}  // namespace lw::cli
