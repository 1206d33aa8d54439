#pragma once
// Opens web pages in the desktop's default browser.
#include "core/ports/url_opener_port.h"

namespace lw {

class QtUrlOpener final : public UrlOpenerPort {
 public:
  void open(const std::string& url) override;
};

}  // namespace lw
