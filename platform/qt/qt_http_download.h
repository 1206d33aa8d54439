#pragma once
// The update check's download: an HTTP GET on a worker thread (see
// blocking_http_get.h) that the caller waits for with a bound of its own,
// so no host-name lookup or stalled server can hold it past the time given.
// On the user-interface thread the wait keeps the windows painted and runs
// nothing else (painting_only_wait.h). Works without a Qt application
// object too (the command-line tool): one is made then and kept.
#include "core/ports/http_download_port.h"

namespace lw {

class QtHttpDownload final : public HttpDownloadPort {
 public:
  uint32_t download(const std::string& url, std::string& body, int timeoutMs) override;
};

}  // namespace lw
