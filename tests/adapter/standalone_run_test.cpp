// The emulated adapter's stand-alone run: a job stored with commands 27 and
// 28, then the start button pressed as an operator would.
#include <gtest/gtest.h>

#include "core/byte_sum.h"
#include "link/offline_header.h"
#include "resources/embedded_resources.h"
#include "resources/part_database.h"
#include "tests/adapter/emulator_bench.h"

namespace lw::emu {
namespace {

using test::EmulatorBench;

std::vector<uint8_t> code(std::size_t n) {
  std::vector<uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + 1);
  return v;
}

// Stores a job for part 43 the way Update Programmer builds it.
void storeJob(EmulatorBench& b, const std::vector<uint8_t>& image, OfflineSettings s) {
  PartRecord part;
  part.reset();
  applyPart(embeddedResources(), 43, part);
  part.optionBytes[0] = 0xFE;
  part.codeSize = static_cast<uint32_t>(image.size());
  part.codeChecksum = codeChecksum(image.data(), image.size());
  ASSERT_EQ(b.block(27, buildOfflineHeader(part, s)), 0u);
  ASSERT_EQ(b.answer()->status, 0);
  ASSERT_EQ(b.block(28, image), 0u);
  ASSERT_EQ(b.answer()->status, 0);
}

OfflineSettings serialJob(uint16_t maxCounter) {
  OfflineSettings s;
  s.flags = offlineflag::kSerialEnabled | offlineflag::kAutoIncrement;
  s.startAddress = 0xFFF0;
  s.serialValue = 0x100;
  s.maxCounter = maxCounter;
  const char text[] = "LINE-A";
  std::copy(std::begin(text), std::end(text), s.serialString.begin());
  return s;
}

uint32_t serialIn(const std::vector<uint8_t>& flash) {
  return flash[0xFFFC] | (flash[0xFFFD] << 8) | (flash[0xFFFE] << 16) | (uint32_t{flash[0xFFFF]} << 24);
}

TEST(StandaloneRun, ProgramsTargetsWithIncrementingSerialsUntilTheMaxCounter) {
  EmulatorBench b;
  const auto image = code(300);
  storeJob(b, image, serialJob(3));

  for (uint32_t k = 0; k < 3; ++k) {
    const StartOutcome out = b.device->pressStart();
    ASSERT_TRUE(out.programmed) << out.message;
    EXPECT_EQ(out.serial, 0x100 + k);
    const auto flash = b.dir.readBytes("target-flash.bin");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
    EXPECT_EQ(std::string(flash.begin() + 0xFFF0, flash.begin() + 0xFFF7), std::string("LINE-A\0", 7));
    EXPECT_EQ(serialIn(flash), 0x100 + k);
    EXPECT_EQ(b.dir.read("target-options.txt"), "FE FF FF FF FF FF FF FF\n");
  }
  const StartOutcome refused = b.device->pressStart();
  EXPECT_FALSE(refused.programmed);
  EXPECT_NE(refused.message.find("max counter"), std::string::npos);

  // The counts survive a restart; a new job starts them again.
  AdapterEmulator again(b.dir.path());
  again.refresh(b.now);
  EXPECT_EQ(again.offlineRun().programmed, 3u);
  EXPECT_EQ(again.offlineRun().nextSerial, 0x103u);
  EXPECT_FALSE(again.pressStart().programmed);
  storeJob(b, image, serialJob(0));  // 0: no limit
  EXPECT_EQ(b.device->offlineRun().programmed, 0u);
  for (int k = 0; k < 5; ++k) EXPECT_TRUE(b.device->pressStart().programmed);
}

TEST(StandaloneRun, AFailedTargetKeepsItsSerialAndTheFileAsksForPresses) {
  EmulatorBench b;
  storeJob(b, code(64), serialJob(0));
  b.dir.write("faults.ini", "no_target = yes\n");
  b.device->refresh(b.now);
  EXPECT_FALSE(b.device->pressStart().programmed);
  b.dir.write("faults.ini", "corrupt_at = 5\n");
  b.device->refresh(b.now);
  const StartOutcome bad = b.device->pressStart();
  EXPECT_FALSE(bad.programmed);
  EXPECT_NE(bad.message.find("verify"), std::string::npos);
  EXPECT_EQ(b.device->offlineRun().nextSerial, 0x100u);
  EXPECT_EQ(b.device->offlineRun().programmed, 0u);

  // A window user presses the button through the run file.
  b.dir.write("faults.ini", "");
  std::string run = b.dir.read("offline-run.ini");
  run.replace(run.find("press_start = 0"), 15, "press_start = 2");
  b.dir.write("offline-run.ini", run);
  b.device->refresh(b.now);
  EXPECT_EQ(b.device->offlineRun().programmed, 2u);
  EXPECT_EQ(serialIn(b.dir.readBytes("target-flash.bin")), 0x101u);
  EXPECT_NE(b.dir.read("offline-run.ini").find("press_start = 0"), std::string::npos);
}

TEST(StandaloneRun, RefusesJobsThatDoNotFitTheTarget) {
  {
    EmulatorBench b;  // nothing stored
    EXPECT_NE(b.device->pressStart().message.find("no off-line job"), std::string::npos);
  }
  {
    EmulatorBench b;  // another part on the socket
    storeJob(b, code(64), serialJob(0));
    b.dir.write("target.ini", "part_index = 44\n");
    b.device->refresh(b.now);
    EXPECT_NE(b.device->pressStart().message.find("part"), std::string::npos);
  }
  {
    EmulatorBench b;  // the stored code damaged behind the adapter's back
    storeJob(b, code(64), serialJob(0));
    auto stored = b.dir.readBytes("offline-code.bin");
    stored[3] ^= 1;
    b.dir.write("offline-code.bin", std::string(stored.begin(), stored.end()));
    b.device->refresh(b.now);
    EXPECT_NE(b.device->pressStart().message.find("does not match"), std::string::npos);
  }
}

}  // namespace
}  // namespace lw::emu
