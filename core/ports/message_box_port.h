#pragma once
// Message boxes and beeps. Styles and answers use the values in core/codes.h.
#include <string>

namespace lw {

enum class BoxOwner { MainWindow, None };

class MessageBoxPort {
 public:
  virtual ~MessageBoxPort() = default;
  // Shows a modal box and returns the answer (kIdOk, kIdCancel, kIdYes, kIdNo).
  virtual int show(const std::string& text, const std::string& caption, unsigned style,
                   BoxOwner owner = BoxOwner::MainWindow) = 0;
  // The system sound for a box style (question beep, stop beep...).
  virtual void beep(unsigned iconStyle) = 0;
};

}  // namespace lw
