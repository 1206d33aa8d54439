#include "image/project_save.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>

#include "core/context/settings_keys.h"
#include "image/first_save_path.h"
#include "image/kpj_format.h"
#include "core/ids/language_keys.h"
#include "tests/code_files/fake_host.h"

namespace lw::test {
namespace {

class ProjectSaveTest : public ::testing::Test {
 protected:
  ProjectSaveTest() {
    host.choosePart(43);
    host.setBuffer(image);
    host.state.project.codeFileName = "fw.bin";
  }
  FakeHost host;
  TempDir dir;
  std::vector<uint8_t> image = std::vector<uint8_t>(4096, 0x3C);
};

TEST_F(ProjectSaveTest, EmptyBufferIsRefusedBeforeTheSaveDialog) {
  host.setBuffer({});
  EXPECT_FALSE(saveProjectCommand(host));
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text, "Code Buffer is empty !");
  EXPECT_EQ(host.boxes.shown[0].caption, "Loom3 Programmer");
  EXPECT_EQ(host.boxes.shown[0].style, 0u);
  EXPECT_EQ(host.files.saveCalls, 0);
}

// The first save proposes the program's name with ".kpj": beside the
// program when its folder can be written, else in the documents folder,
// else at home; never the program file itself.
TEST_F(ProjectSaveTest, FirstSaveProposesAProjectNameInAFolderTheUserCanWrite) {
  std::filesystem::create_directories(dir.file("bin"));
  std::filesystem::create_directories(dir.file("Documents"));
  EXPECT_EQ(firstSaveProposal(dir.file("bin/loomwrite"), dir.file("Documents")), dir.file("bin/loomwrite.kpj"));
  EXPECT_EQ(firstSaveProposal("/nonexistent/lib/loomwrite/loomwrite", dir.file("Documents")),
            dir.file("Documents/loomwrite.kpj"));
  const char* home = std::getenv("HOME");
  const std::string oldHome = home ? home : "";
  ::setenv("HOME", dir.file("").c_str(), 1);
  EXPECT_EQ(firstSaveProposal("/nonexistent/lib/loomwrite/loomwrite", ""),
            (std::filesystem::path(dir.file("")) / "loomwrite.kpj").string());
  ::setenv("HOME", oldHome.c_str(), 1);

  host.ctx.state.programPath = "/nonexistent/lib/loomwrite/loomwrite";
  host.ctx.state.documentsFolder = dir.file("Documents");
  host.files.nextSave.reset();
  saveProjectCommand(host);
  EXPECT_EQ(host.files.lastInitial, dir.file("Documents/loomwrite.kpj"));
  settings::setKpjSavePath(host.settings, "/jobs/last.kpj");
  saveProjectCommand(host);
  EXPECT_EQ(host.files.lastInitial, "/jobs/last.kpj") << "later saves start at the last one";
}

TEST_F(ProjectSaveTest, WritesImageAndRecordThenAsksForTheRequestAddressing) {
  host.files.nextSave.reset();
  EXPECT_FALSE(saveProjectCommand(host));
  EXPECT_EQ(host.files.lastInitial, firstSaveProposal(host.ctx.state.programPath, host.ctx.state.documentsFolder));
  EXPECT_EQ(host.files.lastDefaultExtension, "kpj");
  ASSERT_EQ(host.files.lastFilters.size(), 2u);
  EXPECT_EQ(host.files.lastFilters[0].label, "Vantrel Project Format(*.kpj)");
  EXPECT_EQ(host.files.lastFilters[1].label, "All Format(*.*)");
  EXPECT_EQ(host.files.lastFilters[1].pattern, "*.*");
  EXPECT_EQ(host.kpjDialogs, 0);
  EXPECT_TRUE(dir.entries().empty());

  const std::string path = dir.file("job.kpj");
  host.files.nextSave = path;
  host.addressingAnswer = RequestAddressing{"Factory", "Lab", "PN-1"};
  host.ctx.state.part.optionBytes[0] = 0x12;
  host.optionBytesFromBoxes = host.ctx.state.part.optionBytes;
  host.optionBytesFromBoxes->at(0) = 0xFE;  // the boxes say otherwise: they win
  ASSERT_TRUE(saveProjectCommand(host));
  EXPECT_EQ(settings::kpjSavePath(host.settings), path);
  EXPECT_EQ(host.optionReads, 1);
  EXPECT_EQ(host.kpjDialogs, 1);
  EXPECT_EQ(host.state.requestAddressing.to, "Factory");
  EXPECT_EQ(host.state.requestAddressing.partNo, "PN-1");
  // OK goes on to the saved project's request form.
  EXPECT_EQ(host.shownForms, std::vector<std::string>{path});

  const std::vector<uint8_t> saved = readFile(path);
  const auto layout = checkProjectFile(saved);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->start, image.size());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), saved.begin()));
  EXPECT_EQ(layout->length, 6u + 176 + 57);
  EXPECT_EQ(saved[image.size() + 39], 0xFE);  // first option byte
  EXPECT_EQ(host.state.project.recordLength, layout->length);
  EXPECT_EQ(host.state.project.partIndex, 43);

  // The next save starts from the saved path; a cancelled KPJ Dialog keeps
  // the file and the last addressing.
  host.addressingAnswer.reset();
  ASSERT_TRUE(saveProjectCommand(host));
  EXPECT_EQ(host.files.lastInitial, path);
  EXPECT_EQ(host.state.requestAddressing.from, "Lab");
  EXPECT_EQ(host.shownForms.size(), 1u);  // Cancel shows no form
  EXPECT_TRUE(checkProjectFile(readFile(path)));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"job.kpj"});
}

TEST_F(ProjectSaveTest, TwoSavesDifferOnlyInStampAndChecksum) {
  host.files.nextSave = dir.file("one.kpj");
  host.clock.setCalendarSeconds(1000);
  ASSERT_TRUE(saveProjectCommand(host));
  host.files.nextSave = dir.file("two.kpj");
  host.clock.setCalendarSeconds(2000);
  host.clock.setLocalTime({2024, 6, 1, 8, 0, 0});
  host.clock.advance(777);
  ASSERT_TRUE(saveProjectCommand(host));

  std::vector<uint8_t> one = readFile(dir.file("one.kpj"));
  std::vector<uint8_t> two = readFile(dir.file("two.kpj"));
  ASSERT_EQ(one.size(), two.size());
  std::vector<std::size_t> differing;
  for (std::size_t i = 0; i < one.size(); ++i) {
    if (one[i] != two[i]) differing.push_back(i);
  }
  const std::size_t r = image.size();
  const std::size_t tailEnd = one.size();
  for (const std::size_t i : differing) {
    const bool randomKey = i >= r + 39 + 160 && i < r + 39 + 164;
    const bool atpgAndTime = i >= tailEnd - 17 && i < tailEnd - 9;
    const bool checksum = i == tailEnd - 4 || i == tailEnd - 3;
    EXPECT_TRUE(randomKey || atpgAndTime || checksum) << "byte " << i - r << " of the record";
  }
  EXPECT_FALSE(differing.empty());
}

TEST_F(ProjectSaveTest, FailedWritesKeepTheOldFileAndSaySo) {
  const std::vector<uint8_t> old{'o', 'l', 'd'};
  const std::string path = dir.write("keep.kpj", old);
  const ProjectRecord recordBefore = host.state.project;

  // A write that fails part-way (the file-size limit stops it).
  host.files.nextSave = path;
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto* previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &limited);
  const bool written = saveProjectCommand(host);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(written);
  EXPECT_EQ(readFile(path), old);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"keep.kpj"});
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_NE(host.boxes.shown[0].text.find("The project file could not be written"), std::string::npos);
  EXPECT_NE(host.boxes.shown[0].text.find(path + "\nFile too large"), std::string::npos);
  EXPECT_EQ(host.boxes.shown[0].caption, "Error !");
  EXPECT_EQ(host.kpjDialogs, 0);
  EXPECT_EQ(host.state.project.saveTime, recordBefore.saveTime);
  EXPECT_EQ(host.state.project.recordLength, recordBefore.recordLength);

  // A target that cannot be replaced, or a folder that does not exist.
  std::filesystem::create_directory(dir.file("folder.kpj"));
  for (const std::string& target : {dir.file("folder.kpj"), dir.file("no/such/dir/x.kpj")}) {
    host.boxes.shown.clear();
    host.files.nextSave = target;
    EXPECT_FALSE(saveProjectCommand(host));
    EXPECT_EQ(host.boxes.shown.size(), 1u);
    EXPECT_EQ(host.kpjDialogs, 0);
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.kpj")));
  EXPECT_EQ(dir.entries().size(), 2u);

  // In Chinese the box and the system's reason follow.
  host.ctx.state.languageIndex = language::kSimplifiedChinese;
  host.boxes.shown.clear();
  host.files.nextSave = dir.file("no/such/dir/x.kpj");
  EXPECT_FALSE(saveProjectCommand(host));
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text, "无法写入项目文件，未保存任何内容 !\n\n" + dir.file("no/such/dir/x.kpj") + "\n文件或目录不存在");
}

}  // namespace
}  // namespace lw::test
