// The whole round chosen only through LOOMWRITE_ADAPTER, as a user starts
// the program: nothing selects a backend in code. Kept in its own program so
// that no earlier test has touched the HID layer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "core/codes.h"
#include "tests/adapter/link_module.h"

namespace lw::test {
namespace {

TEST(EnvironmentChoice, EmulatorFromTheEnvironmentTakesAndGivesBack64KiB) {
  TempDir dir;
  ASSERT_EQ(::setenv("LOOMWRITE_ADAPTER", ("emulator:" + dir.path().string()).c_str(), 1), 0);
  LinkModule& link = LinkModule::get();
  ASSERT_TRUE(link.connect && link.ice && link.device);

  ASSERT_EQ(link.connect(0, 0, 1), 0);
  uint32_t mismatch = 1;
  ASSERT_EQ(link.checkFirmware(&mismatch), 0);
  EXPECT_EQ(mismatch, 0u);

  uint8_t tag = 0x30;
  auto answer = [&](wire::Answer& a) {
    std::vector<uint8_t> report(link.device->inputReportLength);
    const uint32_t e = lw_hid_read_input(link.device->handle, report.data(), report.size(), 4000);
    if (e == 0) a = *wire::decodeAnswer(std::span(report).subspan(1));
    return e;
  };
  const struct {
    uint8_t command, p0, p1;
  } steps[] = {{cmd::kConnectTarget, 0x19, 0x37}, {cmd::kCheckPart, 43, 0}, {cmd::kErase, 0, 0}};
  for (const auto& s : steps) {
    link.ice->requestTag = ++tag;
    link.iceBytes[kIceParam0] = s.p0;
    link.iceBytes[kIceParam1] = s.p1;
    ASSERT_EQ(link.sendCommand(s.command, 1), 0);
    wire::Answer a;
    ASSERT_EQ(answer(a), 0u) << int(s.command);
    EXPECT_EQ(a.tag, tag);
    EXPECT_EQ(a.status, 0) << int(s.command);
  }

  std::vector<uint8_t> code(0x10000);
  std::mt19937 rng(11);
  for (uint8_t& b : code) b = static_cast<uint8_t>(rng());
  uint32_t sum = 0;
  for (uint8_t b : code) sum += b;
  std::memset(link.ice->params, 0, sizeof link.ice->params);
  link.iceBytes[kIceParam0] = static_cast<uint8_t>(sum);
  link.iceBytes[kIceParam1] = static_cast<uint8_t>(sum >> 8);
  link.ice->command = cmd::kWriteCode;
  link.ice->address = 0;
  link.ice->byteCount = static_cast<uint32_t>(code.size());
  link.ice->requestTag = ++tag;
  ASSERT_EQ(link.write(), 0);
  std::vector<uint8_t> report(link.device->featureReportLength, 0);
  for (std::size_t at = 0; at < code.size(); at += 128) {
    std::fill(report.begin(), report.end(), 0);
    std::memcpy(report.data() + 1, code.data() + at, 128);
    ASSERT_EQ(lw_hid_set_feature(link.device->handle, report.data(), report.size()), 0u) << at;
  }
  wire::Answer a;
  ASSERT_EQ(answer(a), 0u);
  EXPECT_EQ(a.status, 0);

  ASSERT_EQ(link.readData(cmd::kReadTarget, link.ice->readBack, 0, static_cast<uint32_t>(code.size())), 0);
  EXPECT_EQ(std::memcmp(link.ice->readBack, code.data(), code.size()), 0);
  EXPECT_EQ(dir.readBytes("target-flash.bin"), code);
  EXPECT_EQ(link.disconnect(), 0);
  lw_hid_select_backend("usb");  // lets go of the directory before it is removed
}

}  // namespace
}  // namespace lw::test
