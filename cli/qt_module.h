#pragma once
// The tool's Qt module (core/abi/qt_module_abi.h), loaded from the tool's
// own directory the first time a command draws a form picture or PDF page
// or fetches the version file; every other command starts without Qt.
#include <string>

#include "core/ports/http_download_port.h"

namespace lw::cli {

class QtModule {
 public:
  // The module once loaded and checked, else null with the reason in why.
  static QtModule* get(std::string& why);

  // Empty on success, else the reason.
  std::string writeFormPicture(const std::u16string& form, const std::string& path) const;
  std::string writeFormPdf(const std::u16string& form, const std::string& path) const;
  uint32_t download(const std::string& url, std::string& body, int timeoutMs) const;

 private:
  QtModule() = default;
  void* writePicture_ = nullptr;
  void* writePdf_ = nullptr;
  void* download_ = nullptr;
};

// The update check's download through the module.
class ModuleHttpDownload final : public HttpDownloadPort {
 public:
  explicit ModuleHttpDownload(const QtModule& module) : module_(module) {}
  uint32_t download(const std::string& url, std::string& body, int timeoutMs) override {
    return module_.download(url, body, timeoutMs);
  }

 private:
  const QtModule& module_;
};

}  // namespace lw::cli
