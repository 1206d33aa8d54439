#include "image/project_reader.h"

#include <gtest/gtest.h>

#include "core/codes.h"
#include "image/code_loader.h"
#include "image/project_save.h"
#include "tests/code_files/fake_host.h"
#include "tests/code_files/project_files.h"

namespace lw::test {
namespace {

class ProjectReaderTest : public ::testing::Test {
 protected:
  ProjectReaderTest() {
    host.choosePart(58);
    host.setBuffer({0xAA, 0xBB});
    host.state.project.codeFileName = "current.bin";
  }

  // Loads the file through the loader, as Load File does.
  int load(const std::vector<uint8_t>& file, const std::string& name = "job.kpj") {
    return loadCodeFile(host, dir.write(name, file), true);
  }

  // What a failed read must leave alone.
  void expectUnchanged() {
    EXPECT_EQ(host.view.content, (std::vector<uint8_t>{0xAA, 0xBB}));
    EXPECT_EQ(host.ctx.state.part.partIndex, 58);
    EXPECT_EQ(host.ctx.state.part.codeSize, 2u);
    EXPECT_EQ(host.partChoices, 1);
  }

  FakeHost host;
  TempDir dir;
};

TEST_F(ProjectReaderTest, SavedProjectLoadsBackWithPartOptionBytesAndImage) {
  // Save a job on part 43 with changed option bytes.
  FakeHost saver;
  saver.choosePart(43);
  std::vector<uint8_t> image(3000);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13);
  saver.setBuffer(image);
  saver.state.project.codeFileName = "fw.hex";
  saver.ctx.state.part.optionBytes[0] = 0xFE;
  saver.ctx.state.part.optionBytes[4] = 0x34;
  saver.ctx.state.part.optionBytes[7] = 0x7F;
  const std::string path = dir.file("job.kpj");
  saver.files.nextSave = path;
  ASSERT_TRUE(saveProjectCommand(saver));

  ASSERT_EQ(loadCodeFile(host, path, true), kLoaded);
  EXPECT_TRUE(host.proposedAddresses.empty());  // no area dialog for projects
  EXPECT_TRUE(host.boxes.shown.empty());
  EXPECT_EQ(host.seriesSelections, std::vector<uint16_t>{43});
  const PartRecord& part = host.ctx.state.part;
  EXPECT_EQ(part.partIndex, 43);
  EXPECT_EQ(part.optionBytes, saver.ctx.state.part.optionBytes);
  EXPECT_EQ(host.optionShows, 1);
  EXPECT_EQ(host.shownOptionBytes, saver.ctx.state.part.optionBytes);
  EXPECT_EQ(host.view.content, image);
  EXPECT_EQ(part.codeSize, image.size());
  EXPECT_EQ(part.codeChecksum, codeChecksum(image.data(), image.size()));
  EXPECT_EQ(host.mainDialog.text(mainid::kStatusLine), path);
  EXPECT_EQ(host.state.project.codeFileName, "fw.hex");
  EXPECT_EQ(host.state.project.partIndex, 43);
}

TEST_F(ProjectReaderTest, FilesFailingTheChecksAreRefusedWithoutChangingAnything) {
  std::vector<uint8_t> file = projectFile({1, 2, 3, 4}, 43);
  file[1] ^= 0xFF;  // the image no longer matches its checksum
  EXPECT_EQ(load(file), kNothingLoaded);
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text, "This file is incompatible format and unable to open !");
  EXPECT_EQ(host.boxes.shown[0].caption, "Error !");
  EXPECT_EQ(host.state.project.codeFileName, "current.bin");
  expectUnchanged();

  std::vector<uint8_t> tooLong = projectFile({1, 2, 3, 4}, 43);
  tooLong[tooLong.size() - 2] = 0x10;  // L larger than the file
  EXPECT_EQ(load(tooLong), kNothingLoaded);
  EXPECT_EQ(host.boxes.shown.size(), 2u);
  expectUnchanged();
}

TEST_F(ProjectReaderTest, WrongMagicOrNewerVersionEndWithTheSelectionCleared) {
  std::vector<uint8_t> wrongMagic = projectFile({1, 2, 3, 4}, 43);
  wrongMagic[recordStart(wrongMagic)] = 'V';
  resealRecord(wrongMagic);
  std::vector<uint8_t> newer = projectFile({1, 2, 3, 4}, 43);
  newer[newer.size() - 8] = 0x03;  // version 0x0303
  resealRecord(newer);

  for (const auto& [file, message] :
       {std::pair{wrongMagic, "This is not the vantrel project file, please inspect !"},
        std::pair{newer, "This AP is not the newest edition, is unable to open the new edition the file, please "
                         "contact vantrel !"}}) {
    host.choosePart(58);
    host.setBuffer({0xAA, 0xBB});
    host.boxes.shown.clear();
    EXPECT_EQ(load(file), kNothingLoaded);
    ASSERT_EQ(host.boxes.shown.size(), 1u);
    EXPECT_EQ(host.boxes.shown[0].text, message);
    EXPECT_EQ(host.boxes.shown[0].caption, "loomwrite");
    EXPECT_EQ(host.boxes.shown[0].style, mb::kOkCancel | mb::kIconError);
    EXPECT_FALSE(host.selected.has_value());
    EXPECT_EQ(host.ctx.state.part.partIndex, 0);  // nothing selected: choosing applies index 0
    EXPECT_TRUE(host.view.content.empty());
  }
}

TEST_F(ProjectReaderTest, OlderVersionAsksFirst) {
  std::vector<uint8_t> older = projectFile({1, 2, 3, 4}, 43);
  older[older.size() - 8] = 0x01;  // version 0x0301
  resealRecord(older);

  host.boxes.answers = {kIdNo};
  EXPECT_EQ(load(older), kNothingLoaded);
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text,
            "This file is old, opening possibly can have information losing, whether has to open ?");
  EXPECT_EQ(host.boxes.shown[0].style, mb::kYesNo | mb::kIconQuestion);
  EXPECT_TRUE(host.view.content.empty());

  host.boxes.answers = {kIdYes};
  EXPECT_EQ(load(older), kLoaded);
  EXPECT_EQ(host.boxes.shown.size(), 2u);  // asked once, not again after choosing the part
  EXPECT_EQ(host.view.content, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(host.ctx.state.part.partIndex, 43);
}

TEST_F(ProjectReaderTest, ProjectWithoutImageEndsOnItsOwnPartWithAnEmptyBuffer) {
  EXPECT_EQ(load(projectFile({}, 44)), kNothingLoaded);
  EXPECT_TRUE(host.boxes.shown.empty());
  EXPECT_EQ(host.ctx.state.part.partIndex, 44);
  EXPECT_TRUE(host.view.content.empty());
}

TEST_F(ProjectReaderTest, UnsupportedTargetsAreRefusedAndTheJobStays) {
  for (const uint16_t partIndex : {uint16_t{0xFFFF}, uint16_t{100}}) {
    ProjectRecord record = newProjectRecord(0x0100);
    record.codeFileName = "other.bin";
    std::vector<uint8_t> file = projectFile({1, 2, 3, 4}, 43, record);
    const std::size_t at = recordStart(file) + 29 + record.codeFileName.size();
    file[at] = static_cast<uint8_t>(partIndex >> 8);
    file[at + 1] = static_cast<uint8_t>(partIndex);
    resealRecord(file);

    host.boxes.shown.clear();
    EXPECT_EQ(load(file), kNothingLoaded);
    ASSERT_EQ(host.boxes.shown.size(), 1u);
    EXPECT_EQ(host.boxes.shown[0].text, "The target is not supported!");
    EXPECT_EQ(host.boxes.shown[0].caption, "Error !");
    expectUnchanged();
    EXPECT_EQ(host.state.project.partIndex, partIndex);  // the fields just read stay
    EXPECT_EQ(host.state.project.codeFileName, "other.bin");
  }
}

TEST_F(ProjectReaderTest, SavingALoadedProjectKeepsItsCarriedFields) {
  ProjectRecord carried = newProjectRecord(0x0100);
  carried.codeFileName = "orig.hex";
  carried.ispCodeName = "isp-v2";
  carried.reservedA = 0x5A;
  carried.reservedB = 0xA5;
  carried.reservedC = 0x33;
  carried.reservedBlock.fill(0x42);
  ASSERT_EQ(load(projectFile({1, 2, 3, 4}, 43, carried)), kLoaded);

  host.clock.setLocalTime({2025, 1, 2, 3, 4, 5});
  host.files.nextSave = dir.file("again.kpj");
  ASSERT_TRUE(saveProjectCommand(host));
  const std::vector<uint8_t> saved = readFile(dir.file("again.kpj"));
  const auto layout = checkProjectFile(saved);
  ASSERT_TRUE(layout);
  ProjectRecord read = newProjectRecord(0x0100);
  readProjectTail(saved, *layout, read);
  readProjectBody(saved, *layout, read);
  EXPECT_EQ(read.codeFileName, "orig.hex");
  EXPECT_EQ(read.ispCodeName, "isp-v2");
  EXPECT_EQ(read.reservedA, 0x5A);
  EXPECT_EQ(read.reservedB, 0xA5);
  EXPECT_EQ(read.reservedC, 0x33);
  EXPECT_EQ(read.reservedBlock, carried.reservedBlock);
  EXPECT_EQ(read.saveTime, (std::array<uint8_t, 6>{25, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace lw::test
