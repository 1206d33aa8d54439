// Load File and Update Target through the assembled main window logic, the
// Link library module and the emulated adapter: the bytes must land in the
// emulated flash and the option bytes in its option area.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "core/codes.h"
#include "tests/end_to_end/e2e_rig.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"

namespace lw::e2e {
namespace {

constexpr char kBlinky[] = LW_SOURCE_DIR "/examples/blinky.hex";
constexpr std::size_t kFlashSize = 0x10000;  // Larch-F8U6
constexpr std::size_t kBlinkySize = 0x17C;   // up to its start-address record

bool allErased(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t to) {
  return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to),
                     [](uint8_t b) { return b == 0xFF; });
}

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t n) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + n)};
}

TEST(LoadAndUpdateTarget, BlinkyAtApLandsInFlashWithOptionBytes) {
  EndToEndRig rig;
  rig.loadFile(kBlinky, AreaChoice::ap());
  EXPECT_EQ(rig.areaProposals, std::vector<uint32_t>{0xEC00});  // key 22 of the part
  EXPECT_EQ(rig.files.filterCounts, std::vector<std::size_t>{6});  // every code file, then the five
  EXPECT_EQ(rig.statusLine(), kBlinky);
  EXPECT_EQ(rig.ctx.state.part.codeSize, kBlinkySize);
  EXPECT_TRUE(rig.boxTexts().empty());

  rig.setOptionBox(0, true);  // SWDP
  rig.updateTarget();

  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{"Update Target ok !"});
  EXPECT_EQ(rig.messages.shown[0].caption, "Pass !");
  EXPECT_EQ(rig.messages.shown[0].style & mb::kIconMask, mb::kIconInformation);

  const std::vector<uint8_t> flash = rig.flash();
  ASSERT_EQ(flash.size(), kFlashSize);
  // First and last data records of the file, as written in it.
  EXPECT_EQ(slice(flash, 0, 8), (std::vector<uint8_t>{0x00, 0x20, 0x00, 0x20, 0xF5, 0x00, 0x00, 0x08}));
  EXPECT_EQ(slice(flash, 0x178, 4), (std::vector<uint8_t>{0x57, 0x4C, 0x00, 0x00}));
  EXPECT_TRUE(allErased(flash, kBlinkySize, kFlashSize));

  const std::vector<uint8_t> options = rig.optionBytes();
  const PartRecord& part = rig.ctx.state.part;
  ASSERT_EQ(options.size(), part.optionByteCount);
  EXPECT_EQ(options[0], 0xFE);
  EXPECT_TRUE(std::equal(options.begin(), options.end(), part.optionBytes.begin()));

  // The run showed its progress, the read-back's too, put the file's path
  // back and let go of the adapter; every answer was awaited with the
  // program's 4,000 ms.
  ASSERT_FALSE(rig.progress.painted.empty());
  std::vector<std::string> bars;
  for (const auto& [id, paint] : rig.progress.painted)
    if (paint.bar && (bars.empty() || bars.back() != paint.text)) bars.push_back(paint.text);
  const auto verifying = std::find(bars.begin(), bars.end(), "Verifying ...0%");
  ASSERT_NE(verifying, bars.end());
  ASSERT_NE(verifying, bars.begin());
  EXPECT_EQ(verifying[-1], "Completed ...100%") << "the code's write, then its read-back";
  EXPECT_NE(std::find(verifying, bars.end(), "Verifying ...100%"), bars.end());
  EXPECT_FALSE(rig.progress.painted.back().second.bar);
  EXPECT_EQ(rig.statusLine(), kBlinky);
  EXPECT_FALSE(rig.adapterOpen());
  EXPECT_EQ(rig.transport.longestWaitAsked.load(), 4000u);
  EXPECT_EQ(rig.transport.timeOuts.load(), 0);
  EXPECT_GE(rig.clock.sleptMs(), 500u);  // the adapter check's pause
}

TEST(LoadAndUpdateTarget, IapImageMergesOverApImage) {
  EndToEndRig rig;
  const std::vector<uint8_t> data = patternBytes(300, 0x11);
  const std::string hex = writeTextFile(rig.dir, "data.HEX", intelHex(data));

  rig.loadFile(kBlinky, AreaChoice::ap());
  rig.loadFile(hex, AreaChoice::iap("ec00", false));  // keep blinky
  EXPECT_EQ(rig.ctx.state.part.codeSize, 0xEC00u + data.size());
  rig.updateTarget();
  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{"Update Target ok !"});

  std::vector<uint8_t> flash = rig.flash();
  ASSERT_EQ(flash.size(), kFlashSize);
  EXPECT_EQ(slice(flash, 0, 4), (std::vector<uint8_t>{0x00, 0x20, 0x00, 0x20}));
  EXPECT_TRUE(allErased(flash, kBlinkySize, 0xEC00));
  EXPECT_EQ(slice(flash, 0xEC00, data.size()), data);
  EXPECT_TRUE(allErased(flash, 0xEC00 + data.size(), kFlashSize));

  // A raw image at IAP with "Clear Buffer" drops what was there: the run
  // erases the chip and writes 0xFF up to the image.
  const std::vector<uint8_t> raw = patternBytes(1024, 0x5A);
  rig.loadFile(writeFile(rig.dir, "raw.bin", raw), AreaChoice::iap("F000"));
  EXPECT_EQ(rig.ctx.state.part.codeSize, 0xF000u + raw.size());
  rig.updateTarget();
  ASSERT_EQ(rig.boxTexts(), (std::vector<std::string>{"Update Target ok !", "Update Target ok !"}));
  flash = rig.flash();
  EXPECT_TRUE(allErased(flash, 0, 0xF000));
  EXPECT_EQ(slice(flash, 0xF000, raw.size()), raw);
}

TEST(LoadAndUpdateTarget, CancelledAreaDialogLeavesBufferAndSecondClickWhileWritingDoesNothing) {
  EndToEndRig rig;
  const std::vector<uint8_t> code = patternBytes(8192, 3);
  rig.loadFile(writeFile(rig.dir, "code.bin", code), AreaChoice::ap());
  AreaChoice cancel = AreaChoice::ap();
  cancel.cancel = true;
  rig.loadFile(kBlinky, cancel);
  EXPECT_EQ(rig.ctx.state.part.codeSize, code.size());

  // A click that waits in the event queue reaches the dialog while the block
  // write dispatches events between its reports.
  bool clickedDuringWrite = false;
  rig.loop.post([&] {
    clickedDuringWrite = true;
    rig.updateTarget();
  });
  rig.updateTarget();
  EXPECT_TRUE(clickedDuringWrite);
  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{"Update Target ok !"});
  EXPECT_EQ(slice(rig.flash(), 0, code.size()), code);

  // The busy flag was cleared at the end: the next click runs again.
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts().size(), 2u);
}

TEST(LoadAndUpdateTarget, ImageCutAtTheFlashLimitFillsTheWholeFlash) {
  EndToEndRig rig;
  const std::vector<uint8_t> image = patternBytes(kFlashSize + 4000, 0x33);
  rig.loadFile(writeFile(rig.dir, "big.bin", image), AreaChoice::ap());  // the warning's OK truncates
  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{"File size is too large, file data will be truncated !"});
  EXPECT_EQ(rig.ctx.state.part.codeSize, kFlashSize);
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts().back(), "Update Target ok !");
  EXPECT_EQ(rig.flash(), slice(image, 0, kFlashSize));
}

TEST(LoadAndUpdateTarget, RealisticTimingShowsGrowingProgressAndKeepsTheWindowResponsive) {
  RigOptions options;
  options.adapterIni = "timing = full-speed\n";
  options.watchDevices = false;
  EndToEndRig rig(options);
  const std::vector<uint8_t> code = patternBytes(16384, 1);
  rig.loadFile(writeFile(rig.dir, "code.bin", code), AreaChoice::ap());

  // An event that keeps arriving while the write runs: each dispatch
  // between reports handles it once.
  int handled = 0;
  std::function<void()> tick = [&] {
    ++handled;
    rig.loop.post(tick);
  };
  rig.loop.post(tick);
  const auto start = std::chrono::steady_clock::now();
  rig.updateTarget();
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{"Update Target ok !"});
  EXPECT_GE(handled, 100);                         // 128 reports of code
  EXPECT_GT(took, std::chrono::milliseconds(400));  // about 4 ms a report

  // The bar grew step by step on the status line, then went away.
  std::vector<int> widths;
  for (const auto& [id, paint] : rig.progress.painted)
    if (paint.bar) widths.push_back(paint.done.width());
  ASSERT_GE(widths.size(), 100u);
  EXPECT_TRUE(std::is_sorted(widths.begin(), widths.begin() + 100));
  EXPECT_LT(widths.front(), widths[99]);
  EXPECT_FALSE(rig.progress.painted.back().second.bar);
}

}  // namespace
}  // namespace lw::e2e
