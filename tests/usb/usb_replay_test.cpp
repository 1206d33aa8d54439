// A recording replayed as a test: the harness records its emulated adapter
// as umockdev-record records a real one (the device tree, and the ioctl and
// read/write traces of loomwrite-cli adapters and program), then the same
// commands run against the recording alone, with no emulator behind it.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include <fstream>

#include "tests/adapter/temp_dir.h"
#include "tests/cli/cli_run.h"
#include "tests/usb/replay_bench.h"
#include "tests/usb/usb_bus.h"

namespace lw::usbtest {
namespace {

std::vector<uint8_t> pattern(std::size_t n, uint8_t seed) {
  std::vector<uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>((i * 13 + seed) % 253);
  return bytes;
}

QJsonObject firstAdapter(const test::CliRun& run) { return run.json()["adapters"].toArray()[0].toObject(); }

TEST(UsbReplay, AdaptersAndProgramReplayFromARecordingAndADifferentImageDiverges) {
  test::ScratchDir work, recording;
  test::TempDir state;
  state.write("adapter.ini", "serial = LW-0042\n");
  work.writeBytes("code.bin", pattern(600, 1));
  work.writeBytes("other.bin", pattern(600, 2));
  auto program = [&](const std::string& image) {
    return test::runCli(work, {"--json", "program", work / image, "--part", "Larch-F8U6"});
  };
  {
    UsbBus bus;
    bus.traceTo(recording.path());
    const std::size_t adapter = bus.plug("1-2.3", state.path());
    ASSERT_EQ(test::runCli(work, {"adapters"}).exit, 0);
    ASSERT_EQ(program("code.bin").exit, 0);
    std::ofstream(recording.path() / "adapter.umockdev") << bus.recordedTree(adapter);
  }
  {
    ReplayBench replay(recording.path());
    const test::CliRun listed = test::runCli(work, {"--json", "adapters"});
    ASSERT_EQ(listed.exit, 0) << listed.err;
    EXPECT_EQ(firstAdapter(listed)["place"].toString(), "usb:1-2.3");
    EXPECT_EQ(firstAdapter(listed)["serial"].toString(), "LW-0042");
    EXPECT_EQ(firstAdapter(listed)["firmware"].toString(), "1.5");
    const test::CliRun replayed = program("code.bin");
    EXPECT_EQ(replayed.exit, 0) << replayed.err;
    EXPECT_EQ(replayed.json()["result"].toString(), "Pass !: Update Target ok !");
    EXPECT_EQ(replay.divergences(), std::vector<std::string>{});

    // Code the recording never saw: its block-write request is stalled.
    EXPECT_EQ(program("other.bin").exit, 1);
    const auto divergences = replay.divergences();
    ASSERT_FALSE(divergences.empty());
    EXPECT_EQ(divergences[0].rfind("the program sent the feature report 005A02", 0), 0u) << divergences[0];
  }
  // The recording kept in the tree (made the same way, of blinky.hex)
  // through usb_replay, as a developer replays one attached to a report.
  const std::vector<std::string> replayKept = {LW_BIN_DIR "/usb_replay",
                                               LW_SOURCE_DIR "/tests/usb/recordings/emulated-adapter"};
  const test::CliRun tool = test::runCli(work, {"--json", "adapters"}, {}, replayKept);
  EXPECT_EQ(tool.exit, 0) << tool.err;
  EXPECT_EQ(firstAdapter(tool)["serial"].toString(), "LW-0042");
  const test::CliRun blinky =
      test::runCli(work, {"program", test::examplePath("blinky.hex"), "--part", "Larch-F8U6"}, {}, replayKept);
  EXPECT_EQ(blinky.exit, 0) << blinky.err;
}

}  // namespace
}  // namespace lw::usbtest
