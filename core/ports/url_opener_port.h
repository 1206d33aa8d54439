#pragma once
// Hands a URL to the system's default web browser.
#include <string>

namespace lw {

class UrlOpenerPort {
 public:
  virtual ~UrlOpenerPort() = default;
  virtual void open(const std::string& url) = 0;
};

}  // namespace lw
