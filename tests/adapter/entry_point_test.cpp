// Each entry point of the Link library against the emulated adapter, and the
// full round of Update Target's requests with a 64 KiB block.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/codes.h"
#include "tests/adapter/link_module.h"
#include "tether/firmware/firmware_image.h"

namespace lw::test {
namespace {

class EntryPoints : public LinkTest {};

TEST_F(EntryPoints, SixtyFourKiBGoIntoTheTargetFlashAndComeBack) {
  readyTarget();
  std::vector<uint8_t> code(0x10000);
  std::mt19937 rng(7);
  for (uint8_t& b : code) b = static_cast<uint8_t>(rng());

  const BlockResult r = blockWrite(cmd::kWriteCode, code);
  ASSERT_EQ(r.writeResult, 0u);
  ASSERT_EQ(r.stoppedAtReport, -1);
  ASSERT_EQ(r.readResult, 0u);
  EXPECT_EQ(r.answer.status, 0);
  EXPECT_EQ(r.answer.tag, tag);
  EXPECT_EQ(r.answer.command, cmd::kWriteCode);

  std::memset(link.ice->readBack, 0, code.size());
  ASSERT_EQ(link.readData(cmd::kReadTarget, link.ice->readBack, 0, static_cast<uint32_t>(code.size())), 0);
  EXPECT_EQ(std::memcmp(link.ice->readBack, code.data(), code.size()), 0);
  EXPECT_EQ(dir.readBytes("target-flash.bin"), code);

  // Option bytes, release and end of the run, as Update Target finishes.
  const BlockResult o = blockWrite(cmd::kWriteOptions, {0xA5, 0x5A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  ASSERT_EQ(o.readResult, 0u);
  EXPECT_EQ(o.answer.status, 0);
  EXPECT_EQ(dir.read("target-options.txt"), "A5 5A FF FF FF FF FF FF\n");
  EXPECT_EQ(link.sendCommand(cmd::kReleaseTarget, 1), 0);
  link.iceBytes[kIceParam0] = 0;
  EXPECT_EQ(link.sendCommand(cmd::kEndRun, 1), 0);
  EXPECT_EQ(link.disconnect(), 0);
  EXPECT_EQ(link.device->handle, 0u);
}

TEST_F(EntryPoints, ConnectFillsTheDeviceRecordAndOpensOnlyWhatItIsAskedFor) {
  EXPECT_EQ(link.connect(0x0E6A, 0x0FFF, 0), static_cast<int>(err::kFileNotFound)) << "no adapter needs an update";
  EXPECT_EQ(link.device->handle, 0u);
  EXPECT_EQ(link.connect(0x0E6A, 0x030B, 0), static_cast<int>(err::kFileNotFound));
  EXPECT_EQ(link.connect(0, 0, 0), static_cast<int>(err::kInvalidParameter));

  ASSERT_EQ(link.connect(0, 0, 1), 0);
  const lw_hid_handle first = link.device->handle;
  EXPECT_NE(first, 0u);
  // The program reads the record by offset.
  const auto* raw = reinterpret_cast<const uint8_t*>(link.device);
  EXPECT_EQ(raw[12], 129);
  EXPECT_EQ(raw[13], 65);
  EXPECT_EQ(raw[14], 65);
  uint32_t atEight = 0;
  std::memcpy(&atEight, raw + 8, 4);
  EXPECT_EQ(atEight, first);

  // Connecting again closes the old handle first.
  ASSERT_EQ(link.connect(0x0E6A, 0x0325, 0), 0);
  EXPECT_NE(link.device->handle, first);
  uint8_t f = 0;
  EXPECT_EQ(lw_hid_report_lengths(first, &f, nullptr, nullptr), err::kInvalidHandle);

  EXPECT_EQ(link.disconnect(), 0);
  EXPECT_EQ(link.device->handle, 0u);
  EXPECT_EQ(link.device->featureReportLength, 0);
  EXPECT_EQ(link.disconnect(), 0) << "closing nothing is fine";
}

TEST_F(EntryPoints, CheckFirmwareReportsMatchAndStorage) {
  uint32_t mismatch = 7;
  EXPECT_EQ(link.checkFirmware(&mismatch), static_cast<int>(err::kInvalidHandle)) << "nothing open";
  EXPECT_EQ(mismatch, 7u);
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  EXPECT_EQ(link.checkFirmware(nullptr), static_cast<int>(err::kInvalidParameter));
  link.iceBytes[kIceStorageFlag] = 0;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_EQ(mismatch, 0u);
  EXPECT_EQ(link.iceBytes[kIceStorageFlag], 1);
  EXPECT_EQ(link.checkDevice(), 0);

  dir.write("adapter.ini", "reenumerate_ms = 50\nfirmware_version = 1.4\nstorage = no\n");
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_EQ(mismatch, 1u);
  EXPECT_EQ(link.iceBytes[kIceStorageFlag], 0);
}

TEST_F(EntryPoints, FirmwareResourceIsTheImageTheAdapterRuns) {
  uint32_t size = 0;
  const uint8_t* image = link.resource("FW", kFirmwareResourceId, &size);
  ASSERT_NE(image, nullptr);
  ASSERT_GT(size, 2u);
  EXPECT_TRUE(fwimage::isValidImage({image, size}));
  EXPECT_EQ(image[size - 2], 1);
  EXPECT_EQ(image[size - 1], 5);
  const std::vector<uint8_t> bytes(image, image + size);
  EXPECT_EQ(link.resource("fw", kFirmwareResourceId, &size), image) << "type names ignore case";
  EXPECT_EQ(link.resource("FW", 5003, &size), nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(link.resource(nullptr, kFirmwareResourceId, nullptr), nullptr);
  // A fresh emulator runs exactly that image.
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  EXPECT_EQ(dir.readBytes("adapter-firmware.bin"), bytes);
}

TEST_F(EntryPoints, RequestsCarryTheParameterBytesTheProgramWroteByOffset) {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  wire::Answer a;
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
  // Part index 43 written at +12 low and +13 high: the part check passes;
  // 43 + 256 does not.
  ASSERT_EQ(command(35, 43, 1, a), 0u);
  EXPECT_EQ(a.status, wire::status::kFailed);
  ASSERT_EQ(command(35, 43, 0, a), 0u);
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.tag, link.iceBytes[262683]);
  EXPECT_EQ(a.millivolts, 3300);

  // Command 9 needs its two key bytes.
  link.iceBytes[kIceParam0] = 0x20;
  link.iceBytes[kIceParam1] = 0x85;
  EXPECT_EQ(link.sendCommand(cmd::kEnterFirmwareUpdate, 1), static_cast<int>(err::kGenFailure));
  EXPECT_EQ(link.sendCommand(99, 1), static_cast<int>(err::kGenFailure)) << "unknown command";
  EXPECT_EQ(link.sendCommand(0x1FF, 1), static_cast<int>(err::kInvalidParameter));
}

TEST_F(EntryPoints, BlockWritesOfOddSizesAndTheirSums) {
  readyTarget();
  // 300 bytes: reports of 128, 128 and 44; the sum of 0x01 0x02 0xFF is 0x0102.
  std::vector<uint8_t> data(300, 0x00);
  data[0] = 0x01;
  data[1] = 0x02;
  data[299] = 0xFF;
  BlockResult r = blockWrite(cmd::kWriteCode, data);
  EXPECT_EQ(link.iceBytes[kIceParam0], 0x02);
  EXPECT_EQ(link.iceBytes[kIceParam1], 0x01);
  ASSERT_EQ(r.readResult, 0u);
  EXPECT_EQ(r.answer.status, 0);
  EXPECT_EQ(dir.readBytes("target-flash.bin")[299], 0xFF);
  EXPECT_EQ(dir.readBytes("target-flash.bin")[1], 0x02);

  r = blockWrite(cmd::kWriteCode, {});
  EXPECT_EQ(r.writeResult, 0u);
  ASSERT_EQ(r.readResult, 0u) << "an empty block is answered too";
  EXPECT_EQ(r.answer.status, 0);

  link.ice->command = cmd::kReadTarget;
  EXPECT_EQ(link.write(), static_cast<int>(err::kInvalidParameter)) << "30 is no block-write command";
}

TEST_F(EntryPoints, ReadDataRefusesWhatWouldNotFitAndLeavesItsDestinationOnFailure) {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  EXPECT_EQ(link.readData(cmd::kReadTarget, link.ice->readBack + 10, 0, kReadBackSize),
            static_cast<int>(err::kInvalidParameter));
  EXPECT_EQ(link.readData(cmd::kErase, link.ice->readBack, 0, 16), static_cast<int>(err::kInvalidParameter));
  EXPECT_EQ(link.readData(cmd::kReadTarget, nullptr, 0, 16), static_cast<int>(err::kInvalidParameter));

  // Not connected to the target: the adapter's status comes back, never 0 or 1.
  std::memset(link.ice->readBack, 0x5C, 64);
  const int r = link.readData(cmd::kReadTarget, link.ice->readBack, 0, 64);
  EXPECT_EQ(static_cast<uint32_t>(r), 0x20000000u + wire::status::kNoResponse);
  EXPECT_EQ(link.ice->readBack[0], 0x5C);

  wire::Answer a;
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
  EXPECT_EQ(static_cast<uint32_t>(link.readData(cmd::kReadTarget, link.ice->readBack, 0xFFF0, 0x20)),
            0x20000000u + wire::status::kOutOfRange);
  EXPECT_EQ(link.readData(cmd::kReadTarget, link.ice->readBack, 0xFFF0, 0x10), 0);
  EXPECT_EQ(link.ice->readBack[0], 0xFF);
  EXPECT_EQ(link.readData(cmd::kReadTarget, link.ice->readBack, 0, 0), 0);
  // Into a buffer of the caller's own, a count beyond any flash is the
  // adapter's to refuse.
  std::vector<uint8_t> own(16);
  EXPECT_EQ(static_cast<uint32_t>(link.readData(cmd::kReadTarget, own.data(), 0, 0xFFFFFFFF)),
            0x20000000u + wire::status::kOutOfRange);

  // The adapter's stored code: nothing stored yet.
  EXPECT_EQ(static_cast<uint32_t>(link.readData(cmd::kReadAdapterCode, link.ice->readBack, 0, 4)),
            0x20000000u + wire::status::kOutOfRange);
}

TEST_F(EntryPoints, OfflineJobGoesIntoTheAdapterAndReadsBack) {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  uint32_t mismatch = 1;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  ASSERT_EQ(link.iceBytes[kIceStorageFlag], 1);
  std::vector<uint8_t> code(1000);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i * 7);
  uint32_t codeSum = 0;
  for (uint8_t b : code) codeSum += b;
  std::vector<uint8_t> header(77, 0);
  header[2] = 77;
  header[4] = 1;
  header[5] = 43;
  header[19] = code.size() & 0xFF;
  header[20] = code.size() >> 8;
  header[23] = static_cast<uint8_t>(codeSum);
  header[24] = static_cast<uint8_t>(codeSum >> 8);
  header[68] = 8;
  uint32_t sum = 0;
  for (uint8_t b : header) sum += b;
  header[0] = static_cast<uint8_t>(sum);
  header[1] = static_cast<uint8_t>(sum >> 8);

  BlockResult r = blockWrite(cmd::kWriteOfflineHeader, header);
  ASSERT_EQ(r.readResult, 0u);
  EXPECT_EQ(r.answer.status, 0);
  r = blockWrite(cmd::kWriteOfflineCode, code);
  ASSERT_EQ(r.readResult, 0u);
  EXPECT_EQ(r.answer.status, 0);
  ASSERT_EQ(link.readData(cmd::kReadAdapterCode, link.ice->readBack, 0, 1000), 0);
  EXPECT_EQ(std::memcmp(link.ice->readBack, code.data(), code.size()), 0);
  EXPECT_EQ(dir.readBytes("offline-header.bin"), header);
  EXPECT_EQ(dir.readBytes("offline-code.bin"), code);
}

}  // namespace
}  // namespace lw::test
