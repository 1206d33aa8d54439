#include "image/auto_reload.h"
#include "image/code_loader.h"
#include "image/load_file_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "core/context/settings_keys.h"
#include "core/codes.h"
#include "core/ids/language_keys.h"
#include "tests/code_files/fake_host.h"
#include "tests/code_files/hex_records.h"
#include "tests/sanitizer_build.h"

namespace lw::test {
namespace {

constexpr uint32_t kFlash = 0x10000;

std::vector<uint8_t> pattern(std::size_t n, uint8_t seed) {
  std::vector<uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() { host.choosePart(43); }
  void answerIap(uint32_t address, bool clear) { host.areaAnswer = LoadArea{address, true, clear}; }
  FakeHost host;
  TempDir dir;
};

TEST_F(LoaderTest, RawFileAtIapAddressReplacesOrMergesIntoTheBuffer) {
  const std::vector<uint8_t> file = pattern(1024, 3);
  const std::string path = dir.write("app.bin", file);
  const std::vector<uint8_t> old = pattern(2048, 100);

  // Clear Buffer: 0xEC00 erased bytes, then the file.
  host.setBuffer(old);
  answerIap(0xEC00, true);
  ASSERT_EQ(loadCodeFile(host, path, true), kLoaded);
  EXPECT_EQ(host.proposedAddresses, std::vector<uint32_t>{0xEC00});
  ASSERT_EQ(host.view.content.size(), 0xF000u);
  EXPECT_EQ(std::vector<uint8_t>(host.view.content.begin(), host.view.content.begin() + 0xEC00),
            std::vector<uint8_t>(0xEC00, 0xFF));
  EXPECT_EQ(std::vector<uint8_t>(host.view.content.begin() + 0xEC00, host.view.content.end()), file);
  EXPECT_EQ(host.state.loadOffset, 0xEC00u);

  // Without it, over a 2048-byte buffer: the old bytes stay, the gap is erased.
  host.setBuffer(old);
  answerIap(0xEC00, false);
  ASSERT_EQ(loadCodeFile(host, path, true), kLoaded);
  const std::vector<uint8_t>& merged = host.view.content;
  ASSERT_EQ(merged.size(), 0xF000u);
  EXPECT_EQ(std::vector<uint8_t>(merged.begin(), merged.begin() + 2048), old);
  EXPECT_EQ(std::vector<uint8_t>(merged.begin() + 2048, merged.begin() + 0xEC00), std::vector<uint8_t>(0xEC00 - 2048, 0xFF));
  EXPECT_EQ(std::vector<uint8_t>(merged.begin() + 0xEC00, merged.end()), file);

  // The Part record, the status fields and the project record follow the load;
  // the view was cleared before it got the new image.
  const PartRecord& part = host.ctx.state.part;
  EXPECT_EQ(part.codeSize, 0xF000u);
  EXPECT_EQ(part.codeChecksum, codeChecksum(merged.data(), merged.size()));
  EXPECT_EQ(host.mainDialog.text(mainid::kStatusLine), path);
  EXPECT_EQ(host.mainDialog.text(mainid::kSizeField), "");
  EXPECT_EQ(host.state.project.codeFileName, "app.bin");
  ASSERT_GE(host.view.log.size(), 2u);
  EXPECT_EQ(host.view.log[host.view.log.size() - 2], hexmsg::kClear);
  EXPECT_EQ(host.view.log.back(), hexmsg::kReplace);

  // A part whose key 22 reads as 0 offers address 0.
  host.choosePart(44);
  loadCodeFile(host, path, true);
  EXPECT_EQ(host.proposedAddresses.back(), 0u);
}

TEST_F(LoaderTest, TooLargeImagesAskBeforeTruncating) {
  const std::vector<uint8_t> file = pattern(kFlash + 100, 9);
  const std::string path = dir.write("big.bin", file);
  host.setBuffer(pattern(16, 1));
  const std::vector<uint8_t> before = host.view.content;
  const PartRecord partBefore = host.ctx.state.part;

  host.boxes.answers = {kIdCancel};
  EXPECT_EQ(loadCodeFile(host, path, true), kLoadCancelled);
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text, "File size is too large, file data will be truncated !");
  EXPECT_EQ(host.boxes.shown[0].caption, "Warning !");
  EXPECT_EQ(host.boxes.shown[0].style, mb::kOkCancel | mb::kIconWarning | mb::kDefaultButton2);
  EXPECT_EQ(host.boxes.beeps, std::vector<unsigned>{mb::kIconQuestion});
  EXPECT_EQ(host.view.content, before);
  EXPECT_EQ(host.ctx.state.part.codeSize, partBefore.codeSize);
  EXPECT_EQ(host.ctx.state.part.codeChecksum, partBefore.codeChecksum);
  EXPECT_EQ(host.state.project.codeFileName, "");

  host.boxes.answers = {kIdOk};
  EXPECT_EQ(loadCodeFile(host, path, true), kLoaded);
  EXPECT_EQ(host.view.content, std::vector<uint8_t>(file.begin(), file.begin() + kFlash));

  // At an IAP address the cut leaves exactly what fits above it.
  host.boxes.answers = {kIdOk};
  answerIap(0xFF00, true);
  EXPECT_EQ(loadCodeFile(host, path, true), kLoaded);
  ASSERT_EQ(host.view.content.size(), kFlash);
  EXPECT_EQ(std::vector<uint8_t>(host.view.content.begin() + 0xFF00, host.view.content.end()),
            std::vector<uint8_t>(file.begin(), file.begin() + 0x100));
}

TEST_F(LoaderTest, LoadOffsetAtOrBeyondTheFlashChangesNothing) {
  const std::string path = dir.write("tiny.bin", std::vector<uint8_t>{1, 2, 3});
  host.setBuffer(pattern(64, 5));
  const std::vector<uint8_t> before = host.view.content;
  for (const uint32_t address : {kFlash, kFlash + 1, 0xFFFFFFFFu}) {
    host.boxes.shown.clear();
    answerIap(address, true);
    EXPECT_EQ(loadCodeFile(host, path, true), kNothingLoaded);
    ASSERT_EQ(host.boxes.shown.size(), 1u);
    EXPECT_NE(host.boxes.shown[0].text.find("nothing of the file can be placed"), std::string::npos);
    EXPECT_EQ(host.boxes.shown[0].caption, "Error !");
    EXPECT_EQ(host.view.content, before);
    EXPECT_EQ(host.ctx.state.part.codeSize, 64u);
  }
  // The last byte of the flash still takes one byte.
  host.boxes.answers = {kIdOk};
  answerIap(kFlash - 1, false);
  EXPECT_EQ(loadCodeFile(host, path, true), kLoaded);
  EXPECT_EQ(host.view.content.size(), kFlash);
  EXPECT_EQ(host.view.content.back(), 1);
}

TEST_F(LoaderTest, HexFilesAreParsedWhateverTheCaseOfTheirExtension) {
  // 0x0800xxxx addresses, lower-case digits, a comment, a start address in
  // the middle after which nothing is read, ".HEX" in upper case.
  const std::string text = "; firmware\n:020000040800F2\n" + toLowerAscii(dataRecord(0x0000, {0xDE, 0xAD})) +
                           dataRecord(0x0004, {0xBE, 0xEF}) + hexRecord(5, 0, {0x08, 0, 0, 0x41}) +
                           dataRecord(0x0008, {0x11}) + endOfFile();
  const std::string path = dir.write("fw.HEX", text);
  ASSERT_EQ(loadCodeFile(host, path, true), kLoaded);
  EXPECT_EQ(host.view.content, (std::vector<uint8_t>{0xDE, 0xAD, 0xFF, 0xFF, 0xBE, 0xEF}));
  // The data record left behind the start address was warned about (and OK taken).
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_NE(host.boxes.shown[0].text.find("Line 5 of"), std::string::npos);

  // As IAP the image lands above its own addresses.
  answerIap(0xEC00, true);
  ASSERT_EQ(loadCodeFile(host, path, true), kLoaded);
  ASSERT_EQ(host.view.content.size(), 0xEC06u);
  EXPECT_EQ(host.view.content[0xEC00], 0xDE);

  // A bad checksum mid-file warns; Cancel changes nothing, OK keeps what
  // came before.
  std::string broken = dataRecord(0, {1, 2}) + dataRecord(2, {3});
  broken[broken.size() - 2] ^= 1;
  const std::string brokenPath = dir.write("broken.hex", broken + dataRecord(3, {4}));
  host.areaAnswer = LoadArea{0, false, true};
  host.boxes.shown.clear();
  host.boxes.answers = {kIdCancel};
  const std::vector<uint8_t> before = host.view.content;
  ASSERT_EQ(loadCodeFile(host, brokenPath, true), kLoadCancelled);
  EXPECT_EQ(host.view.content, before);
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].caption, "Warning !");
  EXPECT_NE(host.boxes.shown[0].text.find("Line 2 of " + brokenPath), std::string::npos);
  host.boxes.answers = {kIdOk};
  ASSERT_EQ(loadCodeFile(host, brokenPath, true), kLoaded);
  EXPECT_EQ(host.view.content, (std::vector<uint8_t>{1, 2}));

  // Other extensions are raw, even with ".hex" earlier in the name.
  ASSERT_EQ(loadCodeFile(host, dir.write("fw.hex.txt", text), true), kLoaded);
  EXPECT_EQ(host.view.content, std::vector<uint8_t>(text.begin(), text.end()));

  // ".Kpj" goes to the project reader, which refuses this file.
  host.boxes.shown.clear();
  EXPECT_EQ(loadCodeFile(host, dir.write("p.Kpj", text), true), kNothingLoaded);
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text, "This file is incompatible format and unable to open !");
}

TEST_F(LoaderTest, FarHexDataIsCutAtTheFlashWithoutBuildingAHugeImage) {
  const std::string path = dir.write("far.hex", dataRecord(0x0000, {0x42}) + linearAddress(0xFFFF) +
                                                    dataRecord(0xFFF0, std::vector<uint8_t>(16, 0x99)) + endOfFile());
  host.boxes.answers = {kIdOk};
  ASSERT_EQ(loadCodeFile(host, path, true), kLoaded);
  EXPECT_EQ(host.boxes.shown.size(), 1u);
  ASSERT_EQ(host.view.content.size(), kFlash);
  EXPECT_EQ(host.view.content[0], 0x42);
  EXPECT_EQ(host.view.content[kFlash - 1], 0xFF);
}

TEST_F(LoaderTest, UnreadableEmptyAndCancelledLoadsChangeNothing) {
  host.setBuffer(pattern(32, 2));
  const std::vector<uint8_t> before = host.view.content;
  EXPECT_EQ(loadCodeFile(host, dir.file("missing.bin"), true), kNothingLoaded);
  EXPECT_EQ(loadCodeFile(host, dir.path().string(), true), kNothingLoaded);
  EXPECT_EQ(loadCodeFile(host, dir.write("empty.hex", std::string()), true), kLoaded);
  host.areaAnswer.reset();
  EXPECT_EQ(loadCodeFile(host, dir.write("x.bin", std::vector<uint8_t>{1}), true), kNothingLoaded);
  EXPECT_TRUE(host.boxes.shown.empty());
  EXPECT_TRUE(host.proposedAddresses.size() == 1);

  EXPECT_EQ(host.view.content, before);

  // Files far too large to hold in memory (sparse, so they take no disk)
  // are refused instead of ending the program.
  if (kAddressSanitizer)
    GTEST_SKIP() << "AddressSanitizer aborts on a 4 TiB allocation instead of throwing std::bad_alloc";
  for (const char* name : {"huge.hex", "huge.kpj"}) {
    const std::string huge = dir.write(name, std::string());
    std::error_code ec;
    std::filesystem::resize_file(huge, uintmax_t{1} << 42, ec);
    if (ec) continue;
    EXPECT_EQ(loadCodeFile(host, huge, false), kNothingLoaded) << name;
    std::filesystem::remove(huge, ec);
  }
  EXPECT_EQ(host.view.content, before);
  EXPECT_EQ(host.ctx.state.part.codeSize, 32u);
}

TEST_F(LoaderTest, NamesAreStoredInTheCodePage) {
  ASSERT_EQ(loadCodeFile(host, dir.write("caf\xC3\xA9_\xE2\x82\xAC.bin", std::vector<uint8_t>{1}), true), kLoaded);
  EXPECT_EQ(host.state.project.codeFileName, "caf\xE9_\x80.bin");
}

TEST_F(LoaderTest, LoadFileRemembersThePathAndOffersEveryCodeFileThenTheFiveFilters) {
  settings::setLoadPath(host.settings, "/work/last.hex");
  const std::string path = dir.write("a.bin", std::vector<uint8_t>{5, 6});

  host.files.nextOpen.reset();
  loadFileCommand(host);
  EXPECT_EQ(host.files.lastInitial, "/work/last.hex");
  ASSERT_EQ(host.files.lastFilters.size(), 6u);
  const std::string every = "*.bin;*.hex;*.kpj;*.elf;*.axf;*.srec;*.s19;*.s28;*.s37;*.mot";
  EXPECT_EQ(host.files.lastFilters[0].label, "All Code Files(" + every + ")");
  EXPECT_EQ(host.files.lastFilters[0].pattern, every);
  EXPECT_EQ(host.files.lastFilters[1].label, "Support Format(*.bin;*.hex;*.kpj)");
  EXPECT_EQ(host.files.lastFilters[1].pattern, "*.bin;*.hex;*.kpj");
  EXPECT_EQ(host.files.lastFilters[2].label, "Bin Format(*.bin)");
  EXPECT_EQ(host.files.lastFilters[3].label, "Hex Format(*.hex)");
  EXPECT_EQ(host.files.lastFilters[4].label, "Project Format(*.kpj)");
  EXPECT_EQ(host.files.lastFilters[5].label, "all Format(*.*)");
  EXPECT_TRUE(host.state.lastLoadedPath.empty());
  // In Chinese the names follow and the patterns stay.
  host.ctx.state.languageIndex = language::kSimplifiedChinese;
  loadFileCommand(host);
  EXPECT_EQ(host.files.lastFilters[1].label, "支持的格式(*.bin;*.hex;*.kpj)");
  EXPECT_EQ(host.files.lastFilters[5].label, "所有格式(*.*)");
  EXPECT_EQ(host.files.lastFilters[5].pattern, "*.*");
  host.ctx.state.languageIndex = language::kEnglish;

  // The chosen path is remembered even when the area dialog is cancelled.
  host.files.nextOpen = path;
  host.areaAnswer.reset();
  loadFileCommand(host);
  EXPECT_EQ(settings::loadPath(host.settings), path);
  EXPECT_EQ(host.state.lastLoadedPath, path);
  EXPECT_TRUE(host.view.content.empty());

  host.areaAnswer = LoadArea{0, false, true};
  loadFileCommand(host);
  EXPECT_EQ(host.view.content, (std::vector<uint8_t>{5, 6}));
}

TEST_F(LoaderTest, AutoReloadReloadsTheLastFileAtTheSameOffsetWithoutAsking) {
  const std::string path = dir.write("a.bin", std::vector<uint8_t>{1, 2});
  host.mainDialog.setChecked(mainid::kAutoReload, true);
  autoReloadOnActivation(host);  // nothing chosen yet
  EXPECT_TRUE(host.view.content.empty());

  host.files.nextOpen = path;
  answerIap(0x10, true);
  loadFileCommand(host);
  ASSERT_EQ(host.view.content.size(), 0x12u);
  host.view.content[0] = 0x77;  // edited in the view

  dir.write("a.bin", std::vector<uint8_t>{3, 4});
  autoReloadOnActivation(host);
  EXPECT_EQ(host.proposedAddresses.size(), 1u);
  ASSERT_EQ(host.view.content.size(), 0x12u);
  EXPECT_EQ(host.view.content[0], 0x77);  // merged over the current buffer
  EXPECT_EQ(host.view.content[0x10], 3);

  host.mainDialog.setChecked(mainid::kAutoReload, false);
  dir.write("a.bin", std::vector<uint8_t>{5, 6});
  autoReloadOnActivation(host);
  EXPECT_EQ(host.view.content[0x10], 3);
}

TEST_F(LoaderTest, AutoReloadThatHadToAskIsNotRepeatedUntilTheFileChanges) {
  const std::string path = dir.write("big.bin", pattern(kFlash + 1, 0));
  host.mainDialog.setChecked(mainid::kAutoReload, true);
  host.state.lastLoadedPath = path;
  host.boxes.answers = {kIdCancel};
  autoReloadOnActivation(host);
  EXPECT_EQ(host.boxes.shown.size(), 1u);
  // Closing the box activates the window again: no second box.
  autoReloadOnActivation(host);
  EXPECT_EQ(host.boxes.shown.size(), 1u);
  // Once the file is rebuilt, activation reloads it again.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  dir.write("big.bin", pattern(64, 0));
  autoReloadOnActivation(host);
  EXPECT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.view.content, pattern(64, 0));
}

TEST_F(LoaderTest, ActivationDuringLoadFileDoesNotReloadThePreviousFile) {
  host.mainDialog.setChecked(mainid::kAutoReload, true);
  host.state.lastLoadedPath = dir.write("old.bin", std::vector<uint8_t>{1, 1, 1, 1});
  host.files.nextOpen = dir.write("new.bin", std::vector<uint8_t>{2});
  host.whileAreaDialogOpen = [this] { autoReloadOnActivation(host); };
  answerIap(0, false);
  loadFileCommand(host);
  EXPECT_EQ(host.view.content, std::vector<uint8_t>{2});
  EXPECT_EQ(host.state.lastLoadedPath, dir.file("new.bin"));
}

TEST_F(LoaderTest, CommandLineFileLoadsAtOffsetZeroAndIsNotTheLastLoadedFile) {
  host.state.loadOffset = 0x100;
  host.ctx.state.commandLineFilePath = dir.file("missing.bin");
  loadCommandLineFile(host);
  EXPECT_EQ(host.state.loadOffset, 0x100u);

  host.ctx.state.commandLineFilePath = dir.write("start.bin", std::vector<uint8_t>{9});
  loadCommandLineFile(host);
  EXPECT_EQ(host.state.loadOffset, 0u);
  EXPECT_EQ(host.view.content, std::vector<uint8_t>{9});
  EXPECT_TRUE(host.proposedAddresses.empty());
  EXPECT_TRUE(host.state.lastLoadedPath.empty());
}

}  // namespace
}  // namespace lw::test
