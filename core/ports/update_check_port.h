#pragma once
// The check for a newer release. Mode 1 is the quiet start-up check, mode 0
// the manual check the user asks for.
namespace lw {

class UpdateCheckPort {
 public:
  virtual ~UpdateCheckPort() = default;
  virtual void run(int mode) = 0;
};

}  // namespace lw
