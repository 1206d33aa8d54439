#include <gtest/gtest.h>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "link/offline_header.h"
#include "tests/programming/programming_rig.h"
#include "tests/programming/test_helpers.h"

namespace lw::test {
namespace {

using Strings = std::vector<std::string>;

uint32_t le(const std::vector<uint8_t>& b, std::size_t at, std::size_t n) {
  uint32_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(b[at + i]) << (8 * i);
  return v;
}

TEST(OfflineHeader, FieldsInPlaceWithTheirChecksum) {
  PartRecord part;
  part.reset();
  part.partIndex = 43;
  part.deviceId = 0x12345678;
  part.optionByteCount = 8;
  part.optionBytes[0] = 0xFE;
  part.codeSize = 300;
  part.codeChecksum = 0xBEEF;
  part.adapterParamA = 0x19;
  part.adapterParamB = 0x25;
  part.adapterParamC = 0x07;
  OfflineSettings s;
  s.flags = 3;
  s.startAddress = 0xFFF0;
  s.serialValue = 0x01020304;
  s.maxCounter = 500;
  const uint8_t abc[] = {'A', 'B', 'C', 0};
  std::copy(std::begin(abc), std::end(abc), s.serialString.begin());

  const std::vector<uint8_t> h = buildOfflineHeader(part, s);
  ASSERT_EQ(h.size(), 77u);
  EXPECT_EQ(h[2], 0x4D);
  EXPECT_EQ(h[3], 0x00);
  EXPECT_EQ(h[4], 1);
  EXPECT_EQ(le(h, 5, 2), 43u);
  EXPECT_EQ(le(h, 7, 4), 0x12345678u);
  EXPECT_EQ(le(h, 19, 4), 300u);
  EXPECT_EQ(le(h, 23, 2), 0xBEEFu);
  EXPECT_EQ(h[36], 3);
  EXPECT_EQ(le(h, 37, 4), 0xFFF0u);
  EXPECT_EQ(std::vector<uint8_t>(h.begin() + 41, h.begin() + 53),
            (std::vector<uint8_t>{0x41, 0x42, 0x43, 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
  EXPECT_EQ(le(h, 53, 4), 0x01020304u);
  EXPECT_EQ(le(h, 61, 2), 500u);
  EXPECT_EQ((std::vector<uint8_t>{h[65], h[66], h[67], h[68], h[69], h[70]}),
            (std::vector<uint8_t>{0x19, 0x25, 0x07, 8, 0xFE, 0xFF}));
  // Every other byte is zero.
  for (const std::size_t at : {11u, 18u, 25u, 35u, 57u, 60u, 63u, 64u}) EXPECT_EQ(h[at], 0) << at;
  std::vector<uint8_t> zeroed = h;
  zeroed[0] = zeroed[1] = 0;
  EXPECT_EQ(le(h, 0, 2), codeChecksum(zeroed.data(), zeroed.size()));
}

class UpdateProgrammerTest : public ::testing::Test {
 protected:
  UpdateProgrammerTest() { rig.host.view.bytes = code; }
  const BlockRecord* block(uint8_t command) const {
    for (const BlockRecord& b : rig.adapter.blocks)
      if (b.command == command) return &b;
    return nullptr;
  }
  Rig rig;
  std::vector<uint8_t> code = pattern(300);
};

TEST_F(UpdateProgrammerTest, StoresHeaderAndCodeComparesAndReportsSuccess) {
  rig.host.onOfflineDialog = [](OfflineSettings& s) {
    s.flags = offlineflag::kSerialEnabled | offlineflag::kAutoIncrement;
    s.serialValue = 100;
    s.maxCounter = 3;
    return true;
  };
  rig.operations->updateProgrammer();

  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "write 27", "write 28", "read 33",
                                          "disconnect"}));
  EXPECT_EQ(rig.host.offlineDialogs, std::vector<uint32_t>{0xFFF0});  // flash size - 16
  EXPECT_EQ(rig.host.optionReads, 1);
  ASSERT_NE(block(cmd::kWriteOfflineHeader), nullptr);
  const std::vector<uint8_t>& h = block(cmd::kWriteOfflineHeader)->data;
  ASSERT_EQ(h.size(), 69u + rig.app.state.part.optionByteCount);
  EXPECT_EQ(le(h, 19, 4), 300u);
  EXPECT_EQ(le(h, 23, 2), codeChecksum(code.data(), code.size()));
  EXPECT_EQ(h[36], 3);
  EXPECT_EQ(le(h, 37, 4), 0xFFF0u);
  EXPECT_EQ(std::string(h.begin() + 41, h.begin() + 53), std::string(12, ' '));  // the preset string
  EXPECT_EQ(le(h, 53, 4), 100u);
  EXPECT_EQ(le(h, 61, 2), 3u);
  EXPECT_EQ(rig.adapter.adapterCode, code);
  EXPECT_EQ(rig.app.state.part.codeChecksum, codeChecksum(code.data(), code.size()));

  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Update Programmer ok !"});
  EXPECT_EQ(rig.boxes.shown[0].caption, "Pass !");
  EXPECT_TRUE(contains(rig.host.status, "Compare the code buffer content with the data in Tether"));
  EXPECT_EQ(rig.host.currentStatus(), "");  // the text kept before the code write
  EXPECT_FALSE(rig.operations->busyFlag());
}

TEST_F(UpdateProgrammerTest, CancelAndEmptyBufferEndEarlyAndTheNextRunsWork) {
  rig.host.onOfflineDialog = [](OfflineSettings&) { return false; };
  rig.operations->updateProgrammer();
  EXPECT_TRUE(rig.boxes.shown.empty());
  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware"}));  // left open
  EXPECT_FALSE(rig.operations->busyFlag());

  rig.host.onOfflineDialog = nullptr;
  rig.host.view.bytes.clear();
  rig.operations->updateProgrammer();
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"File size is zero !"});
  EXPECT_EQ(rig.boxes.shown[0].caption, "Fail !");
  EXPECT_EQ(rig.boxes.shown[0].style, mb::kIconError);
  EXPECT_NE(rig.adapter.device().handle, 0u);
  EXPECT_FALSE(rig.operations->busyFlag());

  rig.host.view.bytes = code;
  rig.operations->updateProgrammer();
  EXPECT_EQ(boxTexts(rig.boxes).back(), "Update Programmer ok !");
  rig.boxes.shown.clear();
  rig.operations->updateTarget();
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Update Target ok !"});
}

TEST_F(UpdateProgrammerTest, ABufferLongerThanTheFlashWritesOnlyTheHeaderAndStillCompares) {
  rig.host.view.bytes = pattern(0x10000 + 4);
  rig.operations->updateProgrammer();
  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "write 27", "read 33", "disconnect"}));
  EXPECT_TRUE(contains(rig.adapter.logSnapshot(), "read 33 65540 at 0"));
  EXPECT_EQ(le(block(cmd::kWriteOfflineHeader)->data, 19, 4), 0x10004u);
  // Nothing that long is stored: the read-back fails, and says so.
  EXPECT_EQ(boxTexts(rig.boxes), (Strings{"Code could not be read back from the Tether, it can't be verified !",
                                          "Update Programmer failed !"}));
}

TEST_F(UpdateProgrammerTest, FailedComparisonsAndReadBacksFail) {
  {
    Rig r;
    r.host.view.bytes = code;
    r.adapter.adapterCodeStuckAt = 7;
    r.operations->updateProgrammer();
    EXPECT_EQ(boxTexts(r.boxes), (Strings{"Checksum failed !", "Update Programmer failed !"}));
    EXPECT_EQ(r.boxes.beeps, std::vector<unsigned>{mb::kIconQuestion});
    EXPECT_EQ(r.boxes.shown[1].caption, "Error !");
  }
  {
    Rig r;  // a read-back returning exactly 1 is a failure, not a pass
    r.host.view.bytes = code;
    r.adapter.readDataResult = 1;
    r.operations->updateProgrammer();
    EXPECT_EQ(boxTexts(r.boxes), (Strings{"Code could not be read back from the Tether, it can't be verified !",
                                          "Update Programmer failed !"}));
  }
  {
    Rig r;  // the header refused: no code written, no comparison
    r.host.view.bytes = code;
    r.adapter.answers[cmd::kWriteOfflineHeader].push_back({.status = 1});
    r.operations->updateProgrammer();
    EXPECT_EQ(calls(r.adapter), (Strings{"connect 0 0 1", "checkFirmware", "write 27", "disconnect"}));
    EXPECT_EQ(boxTexts(r.boxes).back(), "Update Programmer failed !");
  }
}

TEST_F(UpdateProgrammerTest, MissingAdapterBusyFlagAndAdapterWithoutStorage) {
  rig.adapter.normalPresent = false;
  rig.operations->updateProgrammer();
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether is not exist !"});
  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "disconnect"}));
  EXPECT_FALSE(rig.operations->busyFlag());

  rig.adapter.normalPresent = true;
  rig.adapter.log.clear();
  rig.operations->busyFlag() = true;  // Update Target is running
  rig.operations->updateProgrammer();
  EXPECT_TRUE(rig.adapter.logSnapshot().empty());
  rig.operations->busyFlag() = false;

  rig.adapter.storageFlag = 0;
  rig.operations->updateTarget();
  EXPECT_FALSE(rig.host.updateProgrammerEnabled);
}

}  // namespace
}  // namespace lw::test
