#pragma once
// Message boxes on a console: each box becomes one line "CAPTION: TEXT" on
// standard error. Questions are answered OK/Yes when the user passed --yes,
// Cancel/No otherwise; a box with only an OK button is acknowledged.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/ports/message_box_port.h"

namespace lw::cli {

class ConsoleMessageBoxes final : public MessageBoxPort {
 public:
  ConsoleMessageBoxes(bool yes, std::FILE* out) : yes_(yes), out_(out) {}
  int show(const std::string& text, const std::string& caption, unsigned style, BoxOwner owner) override;
  void beep(unsigned) override {}

  // Every line written, for the JSON result.
  const std::vector<std::string>& lines() const { return lines_; }
  // Whether a box with the error icon was shown.
  bool errorShown() const { return errorShown_; }

 private:
  bool yes_;
  std::FILE* out_;
  std::vector<std::string> lines_;
  bool errorShown_ = false;
};

// "CAPTION: TEXT" with line breaks turned into spaces.
std::string messageLine(const std::string& caption, const std::string& text);

}  // namespace lw::cli
