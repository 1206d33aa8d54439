// The Form list dialog's logic over in-memory controls, and the preview's
// scroll arithmetic.
#include <gtest/gtest.h>

#include <cerrno>

#include "../code_files/fake_host.h"
#include "core/codes.h"
#include "core/ids/language_keys.h"
#include "platform/memory/memory_dialog.h"
#include "ui/dialogs/form_list_dialog.h"
#include "ui/dialogs/form_preview_scroll.h"

namespace lw {
namespace {

class MemoryPreview final : public FormPreviewPort {
 public:
  void setText(const std::u16string& form) override { text_ = form; }
  std::u16string text() const override { return text_; }
  void invalidate() override { ++invalidations; }
  std::u16string text_;
  int invalidations = 0;
};

class RecordingOutput final : public FormOutputPort {
 public:
  PrintResult print(const std::u16string& form) override {
    printed.push_back(form);
    if (printAnswer != PrintOutcome::NotStarted) return {printAnswer, PrintRefusal::None, {}};
    return {printAnswer, PrintRefusal::FolderMissing, "/nowhere"};
  }
  PictureResult savePicture(const std::u16string& form, const std::string& path) override {
    pictures.emplace_back(form, path);
    return pictureFailure;
  }
  void openInViewer(const std::string& path) override { viewed.push_back(path); }

  PrintOutcome printAnswer = PrintOutcome::Printed;
  PictureResult pictureFailure;
  std::vector<std::u16string> printed;
  std::vector<std::pair<std::u16string, std::string>> pictures;
  std::vector<std::string> viewed;
};

class FormListDialogTest : public ::testing::Test {
 protected:
  FormListDialogTest() {
    for (const int id : {formdlg::kLoadKpj, formdlg::kPrint, formdlg::kSavePicture, formdlg::kExit})
      dialog.addControl(id, MemoryControlKind::Button, "resource text");
    dialog.setTitle(formdlg::kTitle);
    logic.setFormText(u"first form");
    logic.onInit(dialog, preview);
  }

  test::FakeHost host;
  MemoryDialog dialog;
  MemoryPreview preview;
  RecordingOutput output;
  std::vector<std::string> rendered;
  std::optional<std::u16string> nextForm;  // nothing: the build fails
  FormListDialog logic{host.ctx, output, [this](const std::string& path, std::u16string& form) {
                         rendered.push_back(path);
                         if (nextForm) form = *nextForm;
                         return nextForm.has_value();
                       }};
};

TEST_F(FormListDialogTest, CaptionsFromTheLanguageTableAndTheFirstForm) {
  EXPECT_EQ(dialog.title(), "KPJ Form List");
  EXPECT_EQ(dialog.text(formdlg::kExit), "Exit");
  EXPECT_EQ(dialog.text(formdlg::kLoadKpj), "Load *.KPJ") << "the template's text, now in the tables";
  EXPECT_EQ(preview.text(), u"first form");
  logic.onCommand(dialog, preview, formdlg::kExit);
  EXPECT_EQ(dialog.endResult, formdlg::kExit);
}

TEST_F(FormListDialogTest, LoadKpjShowsTheNewFormOrKeepsThePrevious) {
  logic.onCommand(dialog, preview, formdlg::kLoadKpj);  // cancelled
  EXPECT_TRUE(rendered.empty());
  EXPECT_EQ(host.files.lastFilters[0].label, "Project Format(*.kpj)");
  EXPECT_EQ(host.files.lastFilters[0].pattern, "*.kpj");

  host.files.nextOpen = "/jobs/other.kpj";
  nextForm = u"other form";
  logic.onCommand(dialog, preview, formdlg::kLoadKpj);
  EXPECT_EQ(rendered, std::vector<std::string>{"/jobs/other.kpj"});
  EXPECT_EQ(preview.text(), u"other form");
  EXPECT_EQ(preview.invalidations, 1);

  nextForm.reset();  // a damaged project: the preview keeps the form
  logic.onCommand(dialog, preview, formdlg::kLoadKpj);
  EXPECT_EQ(preview.text(), u"other form");
  EXPECT_EQ(logic.formText(), u"other form");

  // An empty form text takes the preview's text.
  logic.setFormText(u"");
  logic.onCommand(dialog, preview, formdlg::kLoadKpj);
  EXPECT_EQ(logic.formText(), u"other form");
}

TEST_F(FormListDialogTest, PrintAndSavePictureSayWhenTheyFail) {
  logic.onCommand(dialog, preview, formdlg::kPrint);
  output.printAnswer = PrintOutcome::Cancelled;
  logic.onCommand(dialog, preview, formdlg::kPrint);
  EXPECT_EQ(output.printed, (std::vector<std::u16string>{u"first form", u"first form"}));
  EXPECT_TRUE(host.boxes.shown.empty());
  output.printAnswer = PrintOutcome::NotStarted;
  logic.onCommand(dialog, preview, formdlg::kPrint);
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text, "The print job could not be started !\n\nThe folder /nowhere does not exist.");
  EXPECT_EQ(host.boxes.shown[0].style, mb::kIconError);

  logic.onCommand(dialog, preview, formdlg::kSavePicture);  // cancelled: nothing written
  EXPECT_TRUE(output.pictures.empty());
  EXPECT_EQ(host.files.lastFilters[0].label, "Bitmap Format(*.bmp)");
  EXPECT_EQ(host.files.lastDefaultExtension, "bmp");

  host.files.nextSave = "/out/form.bmp";
  logic.onCommand(dialog, preview, formdlg::kSavePicture);
  ASSERT_EQ(output.pictures.size(), 1u);
  EXPECT_EQ(output.pictures[0].first, u"first form");
  EXPECT_EQ(output.viewed, std::vector<std::string>{"/out/form.bmp"});

  output.pictureFailure = {false, "Permission denied", EACCES};
  logic.onCommand(dialog, preview, formdlg::kSavePicture);
  EXPECT_EQ(output.viewed.size(), 1u);  // nothing to open
  ASSERT_EQ(host.boxes.shown.size(), 2u);
  EXPECT_EQ(host.boxes.shown[1].text, "The picture could not be written !\n\n/out/form.bmp\nPermission denied");

  // In Chinese the reason and the filter's name follow.
  host.ctx.state.languageIndex = language::kSimplifiedChinese;
  logic.onCommand(dialog, preview, formdlg::kPrint);
  ASSERT_EQ(host.boxes.shown.size(), 3u);
  EXPECT_EQ(host.boxes.shown[2].text, "无法开始打印作业 !\n\n文件夹 /nowhere 不存在。");
  logic.onCommand(dialog, preview, formdlg::kSavePicture);
  EXPECT_EQ(host.files.lastFilters[0].label, "位图格式(*.bmp)");
  ASSERT_EQ(host.boxes.shown.size(), 4u);
  EXPECT_EQ(host.boxes.shown[3].text, "无法写入图片 !\n\n/out/form.bmp\n权限不足");
  // An error without a text of its own keeps the system's.
  output.pictureFailure = {false, "Text file busy", ETXTBSY};
  logic.onCommand(dialog, preview, formdlg::kSavePicture);
  EXPECT_EQ(host.boxes.shown[4].text, "无法写入图片 !\n\n/out/form.bmp\nText file busy");
}

TEST(FormPreviewScroll, RangesStepsAndTheThumb) {
  PreviewScroll s = setUpPreviewScroll(CellSize{7, 15}, 600, 400);
  EXPECT_EQ(s.vertical.range, 1050);
  EXPECT_EQ(s.horizontal.range, 700);
  EXPECT_TRUE(s.vertical.shown());
  EXPECT_TRUE(s.horizontal.shown());

  ScrollBarState& v = s.vertical;
  EXPECT_TRUE(applyScroll(v, 15, ScrollRequest::LineDown));
  EXPECT_EQ(v.position, 15);
  EXPECT_TRUE(applyScroll(v, 15, ScrollRequest::LineUp));
  EXPECT_TRUE(applyScroll(v, 15, ScrollRequest::LineUp));
  EXPECT_EQ(v.position, 0);
  EXPECT_TRUE(applyScroll(v, 15, ScrollRequest::PageDown));
  EXPECT_EQ(v.position, 450);
  EXPECT_TRUE(applyScroll(v, 15, ScrollRequest::PageDown));
  EXPECT_EQ(v.position, 650);  // the end: 1050 less the 400 shown
  EXPECT_TRUE(applyScroll(v, 15, ScrollRequest::PageDown));
  EXPECT_EQ(v.position, 650);
  for (const ScrollRequest other : {ScrollRequest::ThumbTracking, ScrollRequest::Top, ScrollRequest::Bottom,
                                    ScrollRequest::EndScroll}) {
    EXPECT_FALSE(applyScroll(v, 15, other, 100));
    EXPECT_EQ(v.position, 650);
  }
  EXPECT_TRUE(applyScroll(v, 15, ScrollRequest::ThumbReleased, 100));
  EXPECT_EQ(v.position, 100);
  EXPECT_TRUE(applyScroll(s.horizontal, 7, ScrollRequest::PageDown));
  EXPECT_EQ(s.horizontal.position, 100);  // 700 less the 600 shown

  // A client larger than the page: no bar, no scrolling.
  PreviewScroll big = setUpPreviewScroll(CellSize{7, 15}, 800, 1200);
  EXPECT_FALSE(big.vertical.shown());
  applyScroll(big.vertical, 15, ScrollRequest::PageDown);
  EXPECT_EQ(big.vertical.position, 0);
}

}  // namespace
}  // namespace lw
