#include "cli/qt_module.h"

#include <dlfcn.h>

#include <filesystem>

#include "cli/console_session.h"
#include "core/abi/qt_module_abi.h"

namespace lw::cli {

namespace {

std::string writeForm(void* entry, const std::u16string& form, const std::string& path) {
  char reason[512] = {};
  const auto write = reinterpret_cast<qtmodule::WriteFormFn>(entry);
  if (write(form.data(), form.size(), path.c_str(), reason, sizeof reason) == 0) return {};
  return reason[0] ? reason : "cannot be written";
}

}  // namespace

QtModule* QtModule::get(std::string& why) {
  static QtModule module;
  static std::string failure;
  static bool tried = false;
  if (!tried) {
    tried = true;
    const std::string path =
        (std::filesystem::path(programPath()).parent_path() / qtmodule::kFileName).string();
    // Kept loaded to the end of the process: Qt's application object lives in it.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* error = ::dlerror();
      failure = std::string("the drawing and download module cannot be loaded: ") + (error ? error : path);
    } else {
      const auto version = reinterpret_cast<qtmodule::InterfaceFn>(::dlsym(handle, qtmodule::kInterfaceSymbol));
      module.writePicture_ = ::dlsym(handle, qtmodule::kWriteFormPictureSymbol);
      module.writePdf_ = ::dlsym(handle, qtmodule::kWriteFormPdfSymbol);
      module.download_ = ::dlsym(handle, qtmodule::kHttpDownloadSymbol);
      if (!version || version() != qtmodule::kInterfaceVersion || !module.writePicture_ || !module.writePdf_ ||
          !module.download_)
        failure = path + " is not the module this tool was built with";
    }
  }
  if (!failure.empty()) {
    why = failure;
    return nullptr;
  }
  return &module;
}

std::string QtModule::writeFormPicture(const std::u16string& form, const std::string& path) const {
  return writeForm(writePicture_, form, path);
}

std::string QtModule::writeFormPdf(const std::u16string& form, const std::string& path) const {
  return writeForm(writePdf_, form, path);
}

uint32_t QtModule::download(const std::string& url, std::string& body, int timeoutMs) const {
  body.assign(kMaxDownloadBytes, '\0');
  std::size_t length = 0;
  const uint32_t result =
      reinterpret_cast<qtmodule::HttpDownloadFn>(download_)(url.c_str(), timeoutMs, body.data(), body.size(), &length);
  body.resize(length);
  return result;
}

}  // namespace lw::cli
