#pragma once
// HTTP GET with Qt Network, run to its end on the calling thread: user agent
// "Loom32Agent", no proxy, no cache read or written, the body taken whatever
// the status, bounded in time and size. Works without a Qt application
// object too (the command-line tool): one is made for the call then.
#include "core/ports/http_download_port.h"

namespace lw {

class QtHttpDownload final : public HttpDownloadPort {
 public:
  uint32_t download(const std::string& url, const std::string& targetPath, int timeoutMs) override;
};

}  // namespace lw
