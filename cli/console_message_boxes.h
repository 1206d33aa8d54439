#pragma once
// Message boxes on a console: each box becomes one line "CAPTION: TEXT" on
// standard error. Questions are answered OK/Yes when the user passed --yes,
// Cancel/No otherwise; a box with only an OK button is acknowledged.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/ports/message_box_port.h"

namespace lw::cli {

struct ConsoleBox {
  std::string text;
  std::string caption;
  unsigned style = 0;
};

class ConsoleMessageBoxes final : public MessageBoxPort {
 public:
  ConsoleMessageBoxes(bool yes, std::FILE* out) : yes_(yes), out_(out) {}
  int show(const std::string& text, const std::string& caption, unsigned style, BoxOwner owner) override;
  void beep(unsigned) override {}

  // Called before a line is written, so a progress bar can make room.
  void setBeforeLine(std::function<void()> call) { beforeLine_ = std::move(call); }

  // Every line written, for the JSON result.
  const std::vector<std::string>& lines() const { return lines_; }
  const std::vector<ConsoleBox>& boxes() const { return boxes_; }
  // Whether a box with the error icon was shown.
  bool errorShown() const { return errorShown_; }
  // Whether a question was answered Cancel/No because --yes was not given.
  bool declined() const { return declined_; }
  // Whether a box with exactly this text was shown.
  bool shown(const std::string& text) const;

 private:
  bool yes_;
  std::FILE* out_;
  std::function<void()> beforeLine_;
  std::vector<std::string> lines_;
  std::vector<ConsoleBox> boxes_;
  bool errorShown_ = false;
  bool declined_ = false;
};

// "CAPTION: TEXT" with line breaks turned into spaces.
std::string messageLine(const std::string& caption, const std::string& text);

}  // namespace lw::cli
