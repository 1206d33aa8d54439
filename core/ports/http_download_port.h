#pragma once
// HTTP GET of a URL into memory. The whole transfer, connecting included,
// ends within the time given; the body is kept up to kMaxDownloadBytes and
// the rest is not read.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lw {

// A version file is a few hundred bytes; nothing useful is larger.
inline constexpr std::size_t kMaxDownloadBytes = 64 * 1024;

class HttpDownloadPort {
 public:
  virtual ~HttpDownloadPort() = default;
  // Fills body with the response body (whatever the HTTP status). Returns
  // 0, or an error number: err::kInternetTimeout when the time ran out,
  // err::kInternetCannotConnect when nothing usable came back (body empty).
  virtual uint32_t download(const std::string& url, std::string& body, int timeoutMs) = 0;
};

}  // namespace lw
