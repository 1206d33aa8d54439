#include "update/url_credentials.h"

namespace lw {

std::string withCredentialsMasked(std::string_view url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return std::string(url);
  const std::size_t start = scheme + 3;
  const std::size_t end = url.find_first_of("/?#", start);
  const std::string_view authority = url.substr(start, end == std::string_view::npos ? end : end - start);
  // The last '@' ends the user information; a password may hold '@' itself.
  const std::size_t at = authority.rfind('@');
  if (at == std::string_view::npos) return std::string(url);
  return std::string(url.substr(0, start)) + "***" + std::string(url.substr(start + at));
}

}  // namespace lw
