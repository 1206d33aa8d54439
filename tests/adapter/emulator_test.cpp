// The emulated adapter at the report level, with the test moving the clock.
#include <gtest/gtest.h>

#include "core/codes.h"
#include "tests/adapter/emulator_bench.h"
#include "tether/firmware/adapter_firmware.h"
#include "tether/firmware/firmware_image.h"

namespace lw::emu {
namespace {

using test::EmulatorBench;
using wire::RequestKind;

TEST(EmulatedAdapter, CommandsAnswerWithTagStatusAndVoltage) {
  EmulatorBench b;
  EXPECT_EQ(b.device->productId(), 0x0325);
  EXPECT_EQ(b.device->lengths().feature, 129);

  ASSERT_EQ(b.command(35, {43, 0}, 0x10), 0u);
  auto a = b.answer();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->status, wire::status::kNoResponse) << "part check before connect";

  ASSERT_EQ(b.command(37, {0x19, 0x37}, 0x11), 0u);
  a = b.answer();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->tag, 0x11);
  EXPECT_EQ(a->command, 37);
  EXPECT_EQ(a->status, 0);
  EXPECT_EQ(a->millivolts, 3300);

  b.command(35, {44, 0});
  EXPECT_EQ(b.answer()->status, wire::status::kFailed) << "another part";
  b.command(35, {43, 0});
  EXPECT_EQ(b.answer()->status, 0);

  // Release, end and unknown commands: no answer; unknown ones are stalled.
  EXPECT_EQ(b.command(4), 0u);
  EXPECT_EQ(b.command(8), 0u);
  EXPECT_EQ(b.command(99), err::kGenFailure);
  EXPECT_FALSE(b.answer());
  EXPECT_FALSE(b.device->targetConnected());
}

TEST(EmulatedAdapter, FlashErasesToFfAndProgramsOnlyOnesToZeros) {
  EmulatorBench b;
  b.connectTarget();
  ASSERT_EQ(b.block(25, {0x0F, 0x3C}), 0u);
  EXPECT_EQ(b.answer()->status, 0);
  ASSERT_EQ(b.block(25, {0xF0, 0xFF}), 0u);
  EXPECT_EQ(b.answer()->status, 0);
  EXPECT_EQ(b.device->target().flash[0], 0x00) << "0x0F then 0xF0 without erase";
  EXPECT_EQ(b.device->target().flash[1], 0x3C);
  EXPECT_EQ(b.device->target().flash[2], 0xFF);

  b.command(13);
  EXPECT_EQ(b.answer()->status, 0);
  EXPECT_EQ(b.device->target().flash[0], 0xFF);
  EXPECT_EQ(b.device->target().flash.size(), 0x10000u);
}

TEST(EmulatedAdapter, BlockWriteChecksItsSumTargetAndRange) {
  EmulatorBench b;
  std::vector<uint8_t> data(300);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);

  ASSERT_EQ(b.block(25, data), 0u);
  EXPECT_EQ(b.answer()->status, wire::status::kNoResponse) << "not connected";
  b.connectTarget();
  ASSERT_EQ(b.block(25, data, 0x44, 1), 0u);
  auto a = b.answer();
  EXPECT_EQ(a->status, wire::status::kChecksum);
  EXPECT_EQ(a->tag, 0x44);
  EXPECT_EQ(b.device->target().flash[5], 0xFF) << "a refused block is not programmed";

  // A zero-byte block is answered at once.
  ASSERT_EQ(b.block(25, {}), 0u);
  EXPECT_EQ(b.answer()->status, 0);

  // Beyond the flash.
  ASSERT_EQ(b.request(RequestKind::kBlockWrite, 25, 1, 2, {0, 0}, 0xFFFF), 0u);
  std::vector<uint8_t> r(129, 0);
  ASSERT_EQ(b.device->setFeature(r, b.now).error, 0u);
  EXPECT_EQ(b.answer()->status, wire::status::kOutOfRange);

  // Option bytes: up to the part's count of 8.
  ASSERT_EQ(b.block(26, {0xA5, 0x5A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), 0u);
  EXPECT_EQ(b.answer()->status, 0);
  EXPECT_EQ(b.device->target().options[1], 0x5A);
  ASSERT_EQ(b.block(26, std::vector<uint8_t>(9, 0xFF)), 0u);
  EXPECT_EQ(b.answer()->status, wire::status::kOutOfRange);

  // Requests it cannot take are stalled.
  EXPECT_EQ(b.request(RequestKind::kBlockWrite, 30), err::kGenFailure);
  EXPECT_EQ(b.request(RequestKind::kRead, 25), err::kGenFailure);
}

TEST(EmulatedAdapter, StalledBlockEndsAfterOneSecondWithStatus4) {
  EmulatorBench b;
  b.connectTarget();
  ASSERT_EQ(b.request(RequestKind::kBlockWrite, 25, 0x77, 256, {0, 0}), 0u);
  std::vector<uint8_t> r(129, 0);
  ASSERT_EQ(b.device->setFeature(r, b.now).error, 0u);  // first of two reports
  b.later(999);
  EXPECT_FALSE(b.answer());
  b.later(2);
  auto a = b.answer();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->tag, 0x77);
  EXPECT_EQ(a->status, wire::status::kIncomplete);
  // The adapter takes requests again.
  EXPECT_EQ(b.command(37, {0x19, 0x37}), 0u);
  EXPECT_EQ(b.answer()->status, 0);
}

TEST(EmulatedAdapter, HostGarbageAndWrongLengthsAreRefused) {
  EmulatorBench b;
  std::vector<uint8_t> garbage(129);
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 37 + 1);
  garbage[0] = 0;
  EXPECT_EQ(b.device->setFeature(garbage, b.now).error, err::kGenFailure);
  EXPECT_EQ(b.device->setFeature(std::vector<uint8_t>(64), b.now).error, err::kInvalidParameter);
  EXPECT_EQ(b.device->setFeature(std::vector<uint8_t>(130), b.now).error, err::kInvalidParameter);
  EXPECT_EQ(b.device->writeOutput(std::vector<uint8_t>(65), b.now).error, err::kGenFailure);
  std::vector<uint8_t> answer;
  EXPECT_EQ(b.device->getFeature(3, answer, b.now).error, err::kGenFailure) << "unknown report ID";
  EXPECT_FALSE(b.answer());
}

TEST(EmulatedAdapter, OfflineJobIsCheckedStoredAndReadBack) {
  EmulatorBench b;
  std::vector<uint8_t> code = {1, 2, 3, 4, 5};
  std::vector<uint8_t> header(77, 0);
  header[2] = 77;
  header[19] = 5;
  header[23] = 15;  // code checksum
  uint32_t sum = 0;
  for (std::size_t i = 2; i < header.size(); ++i) sum += header[i];
  header[0] = static_cast<uint8_t>(sum);
  header[1] = static_cast<uint8_t>(sum >> 8);

  auto broken = header;
  broken[40] = 1;
  ASSERT_EQ(b.block(27, broken), 0u);
  EXPECT_EQ(b.answer()->status, wire::status::kChecksum) << "header check wrong";
  ASSERT_EQ(b.block(27, header), 0u);
  EXPECT_EQ(b.answer()->status, 0);
  EXPECT_EQ(b.dir.readBytes("offline-header.bin"), header);

  ASSERT_EQ(b.block(28, {1, 2, 3, 4, 6}), 0u);
  EXPECT_EQ(b.answer()->status, wire::status::kChecksum) << "not the code the header names";
  ASSERT_EQ(b.block(28, code), 0u);
  EXPECT_EQ(b.answer()->status, 0);
  EXPECT_EQ(b.dir.readBytes("offline-code.bin"), code);

  ASSERT_EQ(b.request(RequestKind::kRead, 33, 9, 5), 0u);
  std::vector<uint8_t> report;
  ASSERT_EQ(b.device->getFeature(0, report, b.now).error, 0u);
  const auto chunk = wire::decodeReadAnswer(report);
  ASSERT_TRUE(chunk);
  EXPECT_EQ(chunk->tag, 9);
  EXPECT_EQ(chunk->length, 5);
  EXPECT_EQ(chunk->data[4], 5);

  ASSERT_EQ(b.request(RequestKind::kRead, 33, 9, 6), 0u);
  ASSERT_EQ(b.device->getFeature(0, report, b.now).error, 0u);
  EXPECT_EQ(wire::decodeReadAnswer(report)->status, wire::status::kOutOfRange);
}

// Runs the boot loader's download as the program's firmware-update worker does.
uint16_t download(EmulatorBench& b, const std::vector<uint8_t>& image) {
  std::vector<uint8_t> r(65, 0);
  r[1] = wire::kUpdateStart;
  r[5] = static_cast<uint8_t>(image.size() >> 16);
  r[6] = static_cast<uint8_t>(image.size() >> 8);
  r[7] = static_cast<uint8_t>(image.size());
  EXPECT_EQ(b.device->setFeature(r, b.now).error, 0u);
  for (std::size_t at = 0; at < image.size(); at += 64) {
    std::copy(image.begin() + at, image.begin() + std::min(image.size(), at + 64), r.begin() + 1);
    EXPECT_EQ(b.device->setFeature(r, b.now).error, 0u);
  }
  r[1] = wire::kUpdateEnd;
  std::fill(r.begin() + 2, r.begin() + 9, 0);
  r[7] = wire::kUpdateEndSubcode;
  EXPECT_EQ(b.device->setFeature(r, b.now).error, 0u);
  std::vector<uint8_t> answer;
  EXPECT_EQ(b.device->getFeature(0, answer, b.now).error, 0u);
  return static_cast<uint16_t>((answer[1] << 8) | answer[2]);
}

void reset(EmulatorBench& b) {
  std::vector<uint8_t> r(65, 0);
  r[1] = wire::kUpdateReset;
  EXPECT_EQ(b.device->setFeature(r, b.now).error, 0u);
}

TEST(EmulatedAdapter, FirmwareUpdateReplacesTheFirmwareAndReEnumerates) {
  EmulatorBench b("reenumerate_ms = 50\nfirmware_version = 1.4\n");
  ASSERT_EQ(b.device->settings().firmware, (fwimage::Version{1, 4}));
  ASSERT_EQ(b.command(9, {0x20, 0x87}), err::kGenFailure) << "wrong key";
  ASSERT_EQ(b.command(9, {0x20, 0x86}), 0u);
  auto events = b.device->takeBusEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_FALSE(events[0].arrived);
  EXPECT_EQ(events[0].productId, 0x0325);
  EXPECT_FALSE(b.device->attached());
  b.later(49);
  EXPECT_FALSE(b.device->attached());
  b.later(1);
  ASSERT_TRUE(b.device->attached());
  EXPECT_EQ(b.device->productId(), 0x030B);
  EXPECT_EQ(b.device->lengths().feature, 65);
  events = b.device->takeBusEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].arrived);

  const auto image = adapterFirmwareImage();
  const std::vector<uint8_t> bytes(image.begin(), image.end());
  uint32_t sum = 0;
  for (uint8_t x : bytes) sum += x;
  EXPECT_EQ(download(b, bytes), static_cast<uint16_t>(sum));
  reset(b);
  b.later(50);
  ASSERT_TRUE(b.device->attached());
  EXPECT_EQ(b.device->productId(), 0x0325);
  EXPECT_EQ(b.device->settings().firmware, (fwimage::Version{1, 5}));
  EXPECT_EQ(b.dir.readBytes("adapter-firmware.bin"), bytes);
  EXPECT_NE(b.dir.read("adapter.ini").find("firmware_version = 1.5"), std::string::npos);
}

TEST(EmulatedAdapter, BrokenDownloadLeavesTheAdapterNeedingAnUpdate) {
  EmulatorBench b("reenumerate_ms = 10\nmode = firmware-update\n");
  ASSERT_EQ(b.device->productId(), 0x030B);
  auto image = fwimage::buildImage({1, 6}, 1, 2048);
  image[1000] ^= 1;
  download(b, image);
  reset(b);
  b.later(10);
  ASSERT_TRUE(b.device->attached());
  EXPECT_EQ(b.device->productId(), 0x0FFF);
  EXPECT_EQ(b.device->settings().firmware, (fwimage::Version{1, 5})) << "the version it had";

  // In needs-update mode only the switch output report does anything.
  std::vector<uint8_t> r(65, 0);
  EXPECT_EQ(b.device->setFeature(r, b.now).error, err::kGenFailure);
  r[0] = 0x0C;
  r[1] = 0x45;
  EXPECT_EQ(b.device->writeOutput(r, b.now).error, err::kGenFailure);
  r[1] = 0x44;
  EXPECT_EQ(b.device->writeOutput(r, b.now).error, 0u);
  b.later(10);
  EXPECT_EQ(b.device->productId(), 0x030B);
}

TEST(EmulatedAdapter, TimingModelGivesFullSpeedLatencies) {
  EmulatorBench off;
  std::vector<uint8_t> idle(129, 0);
  EXPECT_EQ(off.device->setFeature(idle, off.now).latency.count(), 0);

  EmulatorBench on("timing = full-speed\n");
  EXPECT_EQ(on.device->setFeature(idle, on.now).latency, std::chrono::milliseconds(4));
  on.command(37, {0x19, 0x37});
  EXPECT_FALSE(on.answer()) << "connecting takes time";
  on.later(31);
  EXPECT_TRUE(on.answer());
}

}  // namespace
}  // namespace lw::emu
