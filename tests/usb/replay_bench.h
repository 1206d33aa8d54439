#pragma once
// A recording of real adapters loaded into a fresh testbed: the device tree
// (a *.umockdev file of umockdev-record) and, for each hidraw node, the
// traces recorded while a program used it (*.ioctl, *.script, which name
// their node in their first line). Each node with a trace answers from it.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/usb/replay_node.h"
#include "tests/usb/testbed.h"

namespace lw::usbtest {

class ReplayBench {
 public:
  // Throws std::runtime_error for a directory without a device tree or with
  // a trace that cannot be read.
  explicit ReplayBench(const std::filesystem::path& recording);
  ~ReplayBench();

  // What programs did that the recording does not have, node by node.
  std::vector<std::string> divergences() const;

 private:
  HidIdentity identityOf(const std::string& node) const;

  Testbed testbed_;
  std::vector<std::unique_ptr<ReplayNode>> nodes_;
};

}  // namespace lw::usbtest
