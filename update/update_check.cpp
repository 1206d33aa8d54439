#include "update/update_check.h"

#include "core/codes.h"
#include "core/context/app_context.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/context/settings_keys.h"
#include "core/ports/http_download_port.h"
#include "core/ports/ini_file_port.h"
#include "core/ports/message_box_port.h"
#include "core/ports/temporary_file_port.h"
#include "core/ports/url_opener_port.h"
#include "core/text.h"
#include "resources/embedded_resources.h"
#include "resources/language.h"
#include "update/update_texts.h"
#include "update/version_number.h"

namespace lw {

namespace {

// The sizes of the buffers the values are read into, terminator included.
constexpr std::size_t kVersionCapacity = 32;
constexpr std::size_t kUrlCapacity = 260;

// Only web pages go to the browser: the file's URL comes from the network
// and must not name a local file or a program.
void openWebPage(const UpdateCheckPorts& ports, const std::string& url) {
  if (isWebUrl(url) && ports.browser) ports.browser->open(url);
}

std::string textOf(const UpdateCheckPorts& ports, uint16_t key) {
  if (ports.texts) return languageTextOf(*ports.texts, key);
  return languageText(embeddedResources(), language::kEnglish, key).value_or("");
}

// offerKey names the text with the choices of the mode's buttons.
int ask(const UpdateCheckPorts& ports, const std::string& own, const std::string& published, uint16_t offerKey,
        unsigned buttons) {
  const std::string text = fillIn(textOf(ports, offerKey), {own, published});
  return ports.messages->show(text, updatetext::kCaption, buttons | mb::kIconWarning, BoxOwner::None);
}

}  // namespace

PublishedVersion fetchPublishedVersion(const UpdateCheckPorts& ports, const std::string& versionFileUrl, int timeoutMs) {
  PublishedVersion result;
  std::unique_ptr<TemporaryFile> file = ports.temporaryFiles->create(updatetext::kTemporaryPrefix, result.error);
  if (!file) {
    if (result.error == 0) result.error = err::kGenFailure;
    return result;
  }
  const std::string path = file->path();
  std::string body;
  result.error = ports.http->download(versionFileUrl, body, timeoutMs);
  if (result.error == 0) result.error = file->write(body);
  file.reset();  // written and closed before it is read
  if (result.error == 0) {
    result.version = ports.ini->readString(path, updatetext::kSection, updatetext::kVersionKey, kVersionCapacity);
    result.url = ports.ini->readString(path, updatetext::kSection, updatetext::kUrlKey, kUrlCapacity);
    result.packed = parseVersion(result.version);
  }
  ports.temporaryFiles->remove(path);
  return result;
}

uint32_t checkForUpdate(const UpdateCheckPorts& ports, const UpdateEndpoints& endpoints, int mode, int timeoutMs) {
  const PublishedVersion published = fetchPublishedVersion(ports, endpoints.versionFile, timeoutMs);
  if (published.error != 0) return published.error;
  if (published.version.empty()) return 0;  // not a version file: an error page, or nothing

  const std::string own = formatVersion(ports.ownVersion);
  const std::string newest = formatVersion(published.packed);
  if (ports.ownVersion >= published.packed) {
    if (mode != kUpdateStartupMode) {
      ports.messages->show(fillIn(textOf(ports, textkey::kUpToDate), {own}), updatetext::kCaption,
                           mb::kOk | mb::kIconInformation, BoxOwner::None);
    }
    return 0;
  }

  if (mode == kUpdateStartupMode) {
    switch (ask(ports, own, newest, textkey::kUpdateOfferStartup, mb::kYesNoCancel)) {
      case kIdYes:
        openWebPage(ports, published.url);
        settings::setCheckVersion(*ports.settings, 1);
        break;
      case kIdNo:
        settings::setCheckVersion(*ports.settings, 0);
        break;
      default:  // Cancel, or the box closed
        settings::setCheckVersion(*ports.settings, 1);
        break;
    }
  } else if (ask(ports, own, newest, textkey::kUpdateOfferManual, mb::kYesNo) == kIdYes) {
    openWebPage(ports, endpoints.downloadPage);
    settings::setCheckVersion(*ports.settings, 1);
  }
  return 0;
}

UpdateCheck::UpdateCheck(const UpdateCheckPorts& ports, std::string baseUrl, UpdateTimeouts timeouts)
    : ports_(ports), configured_(!baseUrl.empty()), endpoints_(updateEndpoints(baseUrl)), timeouts_(timeouts) {}

void UpdateCheck::run(int mode) {
  // A build without a server asks nobody, like a server that cannot be reached.
  if (!configured_) {
    lastResult_ = kNoUpdateServer;
    return;
  }
  lastResult_ = checkForUpdate(ports_, endpoints_, mode,
                               mode == kUpdateStartupMode ? timeouts_.startupMs : timeouts_.manualMs);
}

}  // namespace lw
