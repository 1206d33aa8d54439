// The HID layer's C API over the emulator backend: handles, lengths, the
// checks on every call, time-outs, cancel and close, notifications, and the
// handle shared with the Link library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <set>
#include <thread>

#include "core/codes.h"
#include "tests/adapter/link_module.h"
#include "platform/hid/interface_path.h"
#include "tests/adapter/notes.h"

namespace lw::test {
namespace {

using Ms = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

long long since(SteadyClock::time_point start) {
  return std::chrono::duration_cast<Ms>(SteadyClock::now() - start).count();
}

class HidLayer : public LinkTest {};

TEST_F(HidLayer, EnumerateAndOpenTheEmulatedAdapter) {
  lw_hid_device_info list[4];
  ASSERT_EQ(lw_hid_enumerate(list, 4), 1);
  EXPECT_EQ(list[0].vendor_id, 0x0E6A);
  EXPECT_EQ(list[0].product_id, 0x0325);
  EXPECT_EQ(std::string(list[0].interface_path).rfind("\\\\?\\HID#Vid_0e6a&Pid_0325#", 0), 0u);
  EXPECT_EQ(lw_hid_enumerate(nullptr, 0), 1);

  uint32_t error = 0;
  EXPECT_EQ(lw_hid_open(0x0E6A, 0x0326, &error), 0u);
  EXPECT_EQ(error, err::kFileNotFound);
  std::set<lw_hid_handle> handles;
  for (int i = 0; i < 5; ++i) {
    const lw_hid_handle h = lw_hid_open(0x0E6A, 0x0325, &error);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(error, 0u);
    handles.insert(h);
    lw_hid_close(h);
    lw_hid_close(h);  // twice is harmless
  }
  EXPECT_EQ(handles.size(), 5u) << "handles are not reused";
}

TEST_F(HidLayer, HandleOpenedByTheLinkLibraryServesTheProgramUntilClosed) {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  const lw_hid_handle h = link.device->handle;
  uint8_t f = 0, i = 0, o = 0;
  ASSERT_EQ(lw_hid_report_lengths(h, &f, &i, &o), 0u);
  EXPECT_EQ(f, 129);
  EXPECT_EQ(i, 65);
  EXPECT_EQ(o, 65);

  // A request sent by the library, its answer read by the program.
  link.ice->requestTag = 0x6D;
  link.iceBytes[kIceParam0] = 0x19;
  link.iceBytes[kIceParam1] = 0x37;
  ASSERT_EQ(link.sendCommand(cmd::kConnectTarget, 1), 0);
  std::vector<uint8_t> report(65);
  ASSERT_EQ(lw_hid_read_input(h, report.data(), report.size(), 1000), 0u);
  EXPECT_EQ(report[0], 0);
  EXPECT_EQ(report[1], 0x6D);

  ASSERT_EQ(link.disconnect(), 0);
  std::vector<uint8_t> feature(129);
  EXPECT_EQ(lw_hid_set_feature(h, feature.data(), feature.size()), err::kInvalidHandle);
  EXPECT_EQ(lw_hid_get_feature(h, feature.data(), feature.size()), err::kInvalidHandle);
  EXPECT_EQ(lw_hid_read_input(h, report.data(), report.size(), 10), err::kInvalidHandle);
  EXPECT_EQ(lw_hid_write_output(h, report.data(), report.size()), err::kInvalidHandle);
  EXPECT_EQ(lw_hid_report_lengths(h, &f, &i, &o), err::kInvalidHandle);
  lw_hid_cancel_io(h);
  EXPECT_EQ(link.sendCommand(cmd::kConnectTarget, 1), static_cast<int>(err::kInvalidHandle));
  EXPECT_EQ(link.write(), static_cast<int>(err::kInvalidHandle));
}

TEST_F(HidLayer, ReportsOfTheWrongLengthOrWithoutBufferAreRefused) {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  std::vector<uint8_t> big(200);
  EXPECT_EQ(lw_hid_set_feature(handle(), big.data(), 128), err::kInvalidParameter);
  EXPECT_EQ(lw_hid_set_feature(handle(), big.data(), 130), err::kInvalidParameter);
  EXPECT_EQ(lw_hid_set_feature(handle(), nullptr, 129), err::kInvalidParameter);
  EXPECT_EQ(lw_hid_get_feature(handle(), big.data(), 65), err::kInvalidParameter);
  EXPECT_EQ(lw_hid_write_output(handle(), big.data(), 64), err::kInvalidParameter);
  EXPECT_EQ(lw_hid_read_input(handle(), big.data(), 64, 10), err::kInvalidParameter);
  EXPECT_EQ(lw_hid_read_input(handle(), nullptr, 65, 10), err::kInvalidParameter);
  // Garbage of the right length: the adapter stalls it.
  for (std::size_t i = 0; i < 129; ++i) big[i] = static_cast<uint8_t>(i * 13 + 5);
  big[0] = 0;
  EXPECT_EQ(lw_hid_set_feature(handle(), big.data(), 129), err::kGenFailure);
  // Asking for an answer when none is pending gives the idle answer.
  EXPECT_EQ(lw_hid_get_feature(handle(), big.data(), 129), 0u);
  EXPECT_EQ(big[2], wire::kIdleAnswerKind);
}

TEST_F(HidLayer, ReadsEndAtTheirTimeOutOnCancelAndOnClose) {
  ASSERT_EQ(lw_hid_select_backend(("emulator:" + dir.path().string()).c_str()), 0u);
  uint32_t error = 0;
  const lw_hid_handle h = lw_hid_open(0x0E6A, 0x0325, &error);
  ASSERT_NE(h, 0u);
  std::vector<uint8_t> report(65);

  auto start = SteadyClock::now();
  EXPECT_EQ(lw_hid_read_input(h, report.data(), report.size(), 120), err::kWaitTimeout);
  EXPECT_GE(since(start), 115);
  EXPECT_LT(since(start), 600);

  start = SteadyClock::now();
  auto pending = std::async(std::launch::async, [&] {
    std::vector<uint8_t> r(65);
    return lw_hid_read_input(h, r.data(), r.size(), 4000);
  });
  std::this_thread::sleep_for(Ms(100));
  lw_hid_cancel_io(h);
  EXPECT_EQ(pending.get(), err::kOperationAborted);
  EXPECT_LT(since(start), 1000);
  // Cancel only ends the read in progress, not the next one.
  EXPECT_EQ(lw_hid_read_input(h, report.data(), report.size(), 30), err::kWaitTimeout);

  start = SteadyClock::now();
  pending = std::async(std::launch::async, [&] {
    std::vector<uint8_t> r(65);
    return lw_hid_read_input(h, r.data(), r.size(), 4000);
  });
  std::this_thread::sleep_for(Ms(100));
  lw_hid_close(h);
  EXPECT_EQ(pending.get(), err::kOperationAborted);
  EXPECT_LT(since(start), 1000);
}

TEST_F(HidLayer, EveryOpenHandleGetsItsOwnCopyOfAnAnswer) {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  uint32_t error = 0;
  const lw_hid_handle other = lw_hid_open(0x0E6A, 0x0325, &error);
  ASSERT_NE(other, 0u);
  wire::Answer a;
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
  std::vector<uint8_t> report(65);
  ASSERT_EQ(lw_hid_read_input(other, report.data(), report.size(), 500), 0u);
  EXPECT_EQ(report[1], a.tag);
  lw_hid_close(other);
}

TEST_F(HidLayer, BackendChoiceFromTheEnvironmentAndBadChoices) {
  EXPECT_EQ(lw_hid_select_backend("emulator:"), err::kInvalidParameter);
  EXPECT_EQ(lw_hid_select_backend("serial"), err::kInvalidParameter);
  ASSERT_EQ(link.connect(0, 0, 1), 0) << "a bad choice keeps the backend in use";

  TempDir other;
  ::setenv("LOOMWRITE_ADAPTER", ("EMULATOR:" + other.path().string()).c_str(), 1);
  ASSERT_EQ(lw_hid_select_backend(nullptr), 0u);
  ::unsetenv("LOOMWRITE_ADAPTER");
  EXPECT_EQ(link.sendCommand(cmd::kEndRun, 1), static_cast<int>(err::kInvalidHandle))
      << "choosing a backend closes every handle";
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  EXPECT_TRUE(std::filesystem::exists(other / "target-flash.bin"));
  lw_hid_select_backend("usb");
}

TEST_F(HidLayer, EditingAdapterIniPlugsTheAdapterOutAndIn) {
  Notes notes;
  const int watch = lw_hid_watch(&Notes::record, &notes);
  ASSERT_NE(watch, 0);
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  dir.write("adapter.ini", "connected = no\n");
  auto seen = notes.waitFor(1);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].first, 0);
  std::vector<uint8_t> report(65);
  EXPECT_EQ(lw_hid_read_input(handle(), report.data(), report.size(), 1000), err::kDeviceNotConnected);

  dir.write("adapter.ini", "connected = yes\n");
  seen = notes.waitFor(2);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].first, 1);
  EXPECT_NE(seen[0].second, seen[1].second) << "a new appearance is a new device instance";
  EXPECT_EQ(lw_hid_read_input(handle(), report.data(), report.size(), 10), err::kDeviceNotConnected)
      << "the old handle stays dead";
  EXPECT_EQ(link.connect(0, 0, 1), 0);
  lw_hid_unwatch(watch);
}

TEST_F(HidLayer, TimingModelPacesReportsLikeFullSpeedUsb) {
  dir.write("adapter.ini", "timing = full-speed\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  std::vector<uint8_t> report(129, 0);
  const auto start = SteadyClock::now();
  for (int i = 0; i < 20; ++i) lw_hid_get_feature(handle(), report.data(), report.size());
  EXPECT_GE(since(start), 80) << "4 ms for each 129-byte report";
}

TEST(UsbBackend, ListsDevicesByInterfacePathAndOpensNoAbsentAdapter) {
  ASSERT_EQ(lw_hid_select_backend("usb"), 0u);
  std::vector<lw_hid_device_info> list(64);
  const int n = lw_hid_enumerate(list.data(), static_cast<int>(list.size()));
  ASSERT_GE(n, 0);
  for (int i = 0; i < std::min(n, 64); ++i) {
    const auto ids = hid::idsFromInterfacePath(list[i].interface_path);
    ASSERT_TRUE(ids) << list[i].interface_path;
    EXPECT_EQ(ids->vendorId, list[i].vendor_id);
    EXPECT_EQ(ids->productId, list[i].product_id);
    if (list[i].vendor_id == kAdapterVendorId) GTEST_SKIP() << "a real adapter is plugged in";
  }
  uint32_t error = 0;
  EXPECT_EQ(lw_hid_open(kAdapterVendorId, kPidNormal, &error), 0u);
  EXPECT_EQ(error, err::kFileNotFound);
}

}  // namespace
}  // namespace lw::test
