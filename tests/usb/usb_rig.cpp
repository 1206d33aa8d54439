#include "tests/usb/usb_rig.h"

#include <cstdlib>

#include "platform/hid/hid_api.h"

namespace lw::usbtest {

void UsbAdapters::SetUp() {
  ::unsetenv("LOOMWRITE_ADAPTER");
  ASSERT_EQ(lw_hid_select_backend("usb"), 0u);
}

// Closes every handle of this process before the bus goes.
void UsbAdapters::TearDown() { lw_hid_select_backend("usb"); }

std::size_t UsbAdapters::plug(const std::string& port, const std::string& adapterIni) {
  states_.push_back(std::make_unique<test::TempDir>());
  if (!adapterIni.empty()) states_.back()->write("adapter.ini", adapterIni);
  return bus.plug(port, states_.back()->path());
}

test::CliRun UsbAdapters::cli(const std::vector<std::string>& args, const std::vector<std::string>& launcher) {
  const auto start = std::chrono::steady_clock::now();
  test::CliRun run = test::runCli(work, args, {}, launcher);
  lastRunTook = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  return run;
}

std::vector<uint8_t> UsbAdapters::imageBytes(std::size_t n, uint8_t seed) const {
  std::vector<uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>((i * 7 + (i >> 8) * 3 + seed) % 251);
  return bytes;
}

std::string UsbAdapters::image(const std::string& name, std::size_t n, uint8_t seed) {
  work.writeBytes(name, imageBytes(n, seed));
  return work / name;
}

}  // namespace lw::usbtest
