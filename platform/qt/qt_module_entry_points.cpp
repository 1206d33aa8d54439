// The command-line tool's Qt module (libLoomwriteQt.so): the form's picture
// and PDF page and the HTTP download, exported as plain C entry points so
// that the tool itself links no Qt library.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "core/abi/qt_module_abi.h"
#include "platform/qt/form_painting.h"
#include "platform/qt/qt_http_download.h"

#define LW_QT_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int reportReason(const std::string& why, char* reason, std::size_t reasonSize) {
  if (why.empty()) return 0;
  if (reason && reasonSize > 0) {
    const std::size_t n = std::min(why.size(), reasonSize - 1);
    std::memcpy(reason, why.data(), n);
    reason[n] = 0;
  }
  return 1;
}

}  // namespace

LW_QT_MODULE_EXPORT int LW_QtModuleInterface() { return lw::qtmodule::kInterfaceVersion; }

LW_QT_MODULE_EXPORT int LW_WriteFormPicture(const char16_t* form, std::size_t length, const char* path, char* reason,
                                            std::size_t reasonSize) {
  lw::ensureFormPainting();
  return reportReason(lw::writeFormPicture(std::u16string_view(form, length), path), reason, reasonSize);
}

LW_QT_MODULE_EXPORT int LW_WriteFormPdf(const char16_t* form, std::size_t length, const char* path, char* reason,
                                        std::size_t reasonSize) {
  lw::ensureFormPainting();
  return reportReason(lw::writeFormPdf(std::u16string_view(form, length), path), reason, reasonSize);
}

LW_QT_MODULE_EXPORT uint32_t LW_HttpDownload(const char* url, int timeoutMs, char* body, std::size_t capacity,
                                             std::size_t* length) {
  std::string received;
  const uint32_t result = lw::QtHttpDownload().download(url, received, timeoutMs);
  *length = std::min(received.size(), capacity);
  std::memcpy(body, received.data(), *length);
  return result;
}
