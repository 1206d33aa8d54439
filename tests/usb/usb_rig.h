#pragma once
// The one fixture of the USB tests: a bus in a fresh testbed, the state
// directory of every adapter plugged into it, a scratch directory for
// loomwrite-cli (which finds the adapters through LOOMWRITE_ADAPTER unset,
// that is over USB), and this process's HID layer on its USB backend.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/adapter/temp_dir.h"
#include "tests/cli/cli_run.h"
#include "tests/usb/usb_bus.h"

namespace lw::usbtest {

// Re-enumeration takes 50 ms instead of 500, so updates stay quick.
inline constexpr char kQuickAdapter[] = "reenumerate_ms = 50\n";

class UsbAdapters : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh emulated adapter with adapter.ini's text, plugged into the port.
  std::size_t plug(const std::string& port, const std::string& adapterIni = kQuickAdapter);
  test::TempDir& state(std::size_t adapter) { return *states_.at(adapter); }
  std::vector<uint8_t> flash(std::size_t adapter) { return state(adapter).readBytes("target-flash.bin"); }

  // loomwrite-cli with the arguments, and how long it took.
  test::CliRun cli(const std::vector<std::string>& args, const std::vector<std::string>& launcher = {});
  std::chrono::milliseconds lastRunTook{0};

  // A raw image of n bytes in the scratch directory; returns its path.
  std::string image(const std::string& name, std::size_t n, uint8_t seed = 0);
  std::vector<uint8_t> imageBytes(std::size_t n, uint8_t seed = 0) const;

  std::vector<std::unique_ptr<test::TempDir>> states_;  // outlive the bus
  UsbBus bus;
  test::ScratchDir work;
};

}  // namespace lw::usbtest
