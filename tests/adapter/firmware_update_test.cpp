// The firmware update as the program's worker runs it: command 9 or the
// switch report, the firmware-update-mode device, the download reports, the
// checksum echo and the restart, with the notifications in between.
#include <gtest/gtest.h>

#include <thread>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "platform/hid/interface_path.h"
#include "tests/adapter/link_module.h"
#include "tests/adapter/notes.h"

namespace lw::test {
namespace {

using Ms = std::chrono::milliseconds;

class FirmwareUpdate : public LinkTest {
 protected:
  FirmwareUpdate() : LinkTest("reenumerate_ms = 50\nfirmware_version = 1.4\n") {}

  void SetUp() override {
    LinkTest::SetUp();
    watch_ = lw_hid_watch(&Notes::record, &notes);
    ASSERT_NE(watch_, 0);
  }
  void TearDown() override {
    lw_hid_unwatch(watch_);
    LinkTest::TearDown();
  }

  // Opens the firmware-update-mode adapter: attempts 20 ms apart.
  int openUpdateMode(int attempts = 60) {
    int r = -1;
    for (int i = 0; i < attempts; ++i) {
      r = link.connect(0x0E6A, 0x030B, 0);
      if (r == 0) return 0;
      std::this_thread::sleep_for(Ms(20));
    }
    return r;
  }

  // The download; returns the end answer's checksum bytes (high, low).
  std::pair<uint8_t, uint8_t> download(std::span<const uint8_t> image) {
    const std::size_t length = link.device->featureReportLength;
    EXPECT_GT(length, 8u);
    std::vector<uint8_t> r(length, 0);
    r[1] = 0x33;
    r[5] = static_cast<uint8_t>(image.size() >> 16);
    r[6] = static_cast<uint8_t>(image.size() >> 8);
    r[7] = static_cast<uint8_t>(image.size());
    EXPECT_EQ(lw_hid_set_feature(handle(), r.data(), r.size()), 0u);
    std::this_thread::sleep_for(Ms((image.size() / 512 + 1) * 25));
    for (std::size_t at = 0; at < image.size(); at += length - 1) {
      std::copy(image.begin() + at, image.begin() + std::min(image.size(), at + length - 1), r.begin() + 1);
      int retries = 0;
      while (lw_hid_set_feature(handle(), r.data(), r.size()) != 0 && retries < 500) {
        ++retries;
        std::this_thread::sleep_for(Ms(8));
      }
      rejectedRetries += retries;
    }
    r[1] = 0x22;
    std::fill(r.begin() + 2, r.begin() + 9, 0);
    r[7] = 0x02;
    EXPECT_EQ(lw_hid_set_feature(handle(), r.data(), r.size()), 0u);
    EXPECT_EQ(lw_hid_get_feature(handle(), r.data(), r.size()), 0u);
    return {r[1], r[2]};
  }

  uint32_t reset() {
    std::vector<uint8_t> r(link.device->featureReportLength, 0);
    r[1] = 0x44;
    return lw_hid_set_feature(handle(), r.data(), r.size());
  }

  std::span<const uint8_t> image() {
    uint32_t size = 0;
    const uint8_t* bytes = link.resource("FW", kFirmwareResourceId, &size);
    return {bytes, size};
  }

  Notes notes;
  int rejectedRetries = 0;

 private:
  int watch_ = 0;
};

TEST_F(FirmwareUpdate, CommandNineDownloadAndRestartBringTheNewFirmware) {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  uint32_t mismatch = 0;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  ASSERT_EQ(mismatch, 1u);

  link.iceBytes[kIceParam0] = 0x20;
  link.iceBytes[kIceParam1] = 0x86;
  ASSERT_EQ(link.sendCommand(cmd::kEnterFirmwareUpdate, 1), 0);
  EXPECT_EQ(link.disconnect(), 0);
  ASSERT_EQ(openUpdateMode(), 0);
  EXPECT_EQ(link.device->featureReportLength, 65);

  const auto img = image();
  const uint16_t sum = codeChecksum(img.data(), img.size());
  const auto [high, low] = download(img);
  EXPECT_EQ(high, sum >> 8);
  EXPECT_EQ(low, sum & 0xFF);
  ASSERT_EQ(reset(), 0u);
  EXPECT_EQ(link.disconnect(), 0);

  // Removal of 0325, arrival and removal of 030b, arrival of 0325.
  const auto seen = notes.waitFor(4);
  ASSERT_EQ(seen.size(), 4u);
  const char* templates[] = {"\\\\?\\hid#vid_0e6a&pid_0325#", "\\\\?\\HID#VID_0E6A&PID_030B#",
                             "\\\\?\\HID#Vid_0e6a&Pid_030b#", "\\\\?\\HID#Vid_0e6a&Pid_0325#"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(seen[i].first, i % 2) << i;
    EXPECT_TRUE(hid::pathMatchesTemplate(seen[i].second, templates[i])) << seen[i].second;
  }
  EXPECT_EQ(seen[1].second, seen[2].second) << "removal names the device that arrived";

  ASSERT_EQ(link.connect(0, 0, 1), 0);
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_EQ(mismatch, 0u);
  EXPECT_NE(dir.read("adapter.ini").find("firmware_version = 1.5"), std::string::npos);
}

TEST_F(FirmwareUpdate, NeedsUpdateAdapterSwitchesWithTheOutputReport) {
  dir.write("adapter.ini", "reenumerate_ms = 50\nmode = needs-update\n");
  EXPECT_EQ(link.connect(0, 0, 1), static_cast<int>(err::kFileNotFound)) << "not in normal mode";
  ASSERT_EQ(link.connect(0x0E6A, 0x0FFF, 0), 0);
  EXPECT_EQ(link.device->outputReportLength, 65);
  uint32_t mismatch = 0;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_EQ(mismatch, 1u);
  EXPECT_EQ(link.sendCommand(cmd::kConnectTarget, 1), static_cast<int>(err::kNotSupported));

  std::vector<uint8_t> out(link.device->outputReportLength, 0);
  out[0] = 0x0C;
  out[1] = 0x44;
  ASSERT_EQ(lw_hid_write_output(handle(), out.data(), out.size()), 0u);
  EXPECT_EQ(link.disconnect(), 0);
  ASSERT_EQ(openUpdateMode(), 0);
  download(image());
  ASSERT_EQ(reset(), 0u);
  link.disconnect();
  std::this_thread::sleep_for(Ms(80));
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_EQ(mismatch, 0u);
}

TEST_F(FirmwareUpdate, FaultsOfTheUpdatePath) {
  // The checksum echo with its bytes swapped.
  faults("swapped_checksum_echo = yes\nreject_report = 5\nreject_times = 3\n");
  dir.write("adapter.ini", "reenumerate_ms = 50\nmode = firmware-update\n");
  ASSERT_EQ(openUpdateMode(), 0);
  const auto img = image();
  const uint16_t sum = codeChecksum(img.data(), img.size());
  const auto [high, low] = download(img);
  EXPECT_EQ(rejectedRetries, 3) << "a refused report is taken on retry";
  EXPECT_EQ(high, sum & 0xFF);
  EXPECT_EQ(low, sum >> 8);

  // The update-mode device never shows up after command 9.
  faults("update_mode_never_appears = yes\n");
  dir.write("adapter.ini", "reenumerate_ms = 20\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  link.iceBytes[kIceParam0] = 0x20;
  link.iceBytes[kIceParam1] = 0x86;
  ASSERT_EQ(link.sendCommand(cmd::kEnterFirmwareUpdate, 1), 0);
  link.disconnect();
  EXPECT_EQ(openUpdateMode(15), static_cast<int>(err::kFileNotFound));
  EXPECT_EQ(link.connect(0, 0, 1), static_cast<int>(err::kFileNotFound));
}

TEST_F(FirmwareUpdate, APartialImageLeavesAnAdapterThatNeedsAnUpdate) {
  dir.write("adapter.ini", "reenumerate_ms = 20\nmode = firmware-update\n");
  ASSERT_EQ(openUpdateMode(), 0);
  const auto img = image();
  download(img.first(img.size() / 2));
  ASSERT_EQ(reset(), 0u);
  link.disconnect();
  EXPECT_EQ(openUpdateMode(5), static_cast<int>(err::kFileNotFound));
  std::this_thread::sleep_for(Ms(40));
  EXPECT_EQ(link.connect(0x0E6A, 0x0FFF, 0), 0);
  EXPECT_NE(dir.read("emulator.log").find("firmware update failed"), std::string::npos);
}

}  // namespace
}  // namespace lw::test
