// The Form list dialog's Qt view, offscreen: captions that fit, the preview
// drawing the form and following the scroll logic, the picture and PDF
// outputs' failures. Leaves a screenshot in the build directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "../code_files/fake_host.h"
#include "../code_files/project_files.h"
#include "platform/qt/form_painting.h"
#include "platform/qt/form_preview_widget.h"
#include "platform/qt/qt_form_list_dialog.h"
#include "report/request_form.h"
#include "tests/qt_test_application.h"

namespace lw {
namespace {

QApplication& application() { return test::testApplication("form_view_tests"); }

class NoOutput final : public FormOutputPort {
 public:
  PrintResult print(const std::u16string&) override { return {PrintOutcome::Cancelled, PrintRefusal::None, {}}; }
  PictureResult savePicture(const std::u16string&, const std::string&) override { return {}; }
  void openInViewer(const std::string&) override {}
};

std::u16string shippedForm() {
  FormSources s;
  s.addressing = {"Acme & Co", "Lab 2", "PN-0042"};
  s.partList = {{"Larch-F8U6", 43}};
  s.selectedPartIndex = 43;
  ProjectRecord record = newProjectRecord(0x0100);
  record.codeFileName = "blinky.hex";
  const FormBuild b = buildRequestForm(test::projectFile({1, 2, 3, 4}, 43, record), "/jobs/job.kpj", s,
                                       embeddedResources());
  return b.text.value_or(u"");
}

TEST(FormListView, CaptionsFitAndThePreviewShowsTheForm) {
  application();
  test::FakeHost host;
  NoOutput output;
  FormListDialog logic(host.ctx, output, {});
  logic.setFormText(shippedForm());
  QtFormListDialogView view(nullptr, logic);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  EXPECT_EQ(view.windowTitle(), "KPJ Form List");
  for (const int id : {formdlg::kLoadKpj, formdlg::kPrint, formdlg::kSavePicture, formdlg::kExit}) {
    auto* button = qobject_cast<QPushButton*>(view.control(id));
    ASSERT_NE(button, nullptr);
    EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()) + 8, button->width())
        << button->text().toStdString();
  }
  EXPECT_EQ(qobject_cast<QPushButton*>(view.control(formdlg::kExit))->text(), "Exit");
  EXPECT_EQ(view.control(formdlg::kPreview), &view.preview());
  QTest::qWait(50);
  EXPECT_TRUE(view.grab().save(LW_BINARY_DIR "/form_list_dialog.png"));

  // The preview scrolls by the logic's steps; the thumb moves the page only
  // once released.
  FormPreviewWidget& preview = view.preview();
  const CellSize cell = preview.cellSize();
  QScrollBar* bar = preview.verticalScrollBar();
  EXPECT_EQ(bar->maximum(), 70 * cell.cy - preview.viewport()->height());
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar->value(), cell.cy);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(bar->value(), std::min(31 * cell.cy, bar->maximum()));
  bar->triggerAction(QAbstractSlider::SliderToMinimum);  // not a request the preview handles
  EXPECT_EQ(bar->value(), std::min(31 * cell.cy, bar->maximum()));
  bar->setSliderDown(true);
  bar->setSliderPosition(5);
  EXPECT_EQ(preview.scrollState().vertical.position, std::min(31 * cell.cy, bar->maximum()));
  bar->setSliderDown(false);
  EXPECT_EQ(preview.scrollState().vertical.position, 5);
  EXPECT_EQ(bar->value(), 5);
  QTest::qWait(20);
  EXPECT_TRUE(view.grab().save(LW_BINARY_DIR "/form_list_dialog_scrolled.png"));
}

TEST(FormListView, PictureAndPdfThatCannotBeWrittenSaySo) {
  application();
  const std::u16string form = shippedForm();
  EXPECT_FALSE(writeFormPicture(form, "/nonexistent-dir/f.bmp").empty());
  EXPECT_FALSE(writeFormPdf(form, "/nonexistent-dir/f.pdf").empty());
  const MonoBitmap picture = formPicture(form);
  const CellSize cell = formCellSize(makeFormFont(), nullptr);
  EXPECT_EQ(picture.width, 100 * cell.cx);
  EXPECT_EQ(picture.height, 70 * cell.cy);
}

// The print dialog as the user meets it: once it is up, its picture and
// its printer list, then the file name typed (if any) and Print pressed.
struct PrintDialogVisit {
  QStringList printers;
  QString proposedFile;
};
void pressPrintWhenUp(PrintDialogVisit& visit, const QString& typedFile, const QString& picture) {
  QTimer::singleShot(20, [&visit, typedFile, picture] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->grab().save(QStringLiteral(LW_BINARY_DIR "/") + picture);
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    if (printers)
      for (int i = 0; i < printers->count(); ++i) visit.printers << printers->itemText(i);
    if (file) {
      visit.proposedFile = file->text();
      if (!typedFile.isEmpty()) file->setText(typedFile);
    }
    dialog->accept();
  });
}

// With no printer installed the print dialog still prints: to a PDF file
// named after the document, in the documents folder. A print that cannot
// start says why.
TEST(FormListView, PrintWithoutAPrinterWritesAPdf) {
  application();
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has printers installed";
  QTemporaryDir home;
  ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Documents")));
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", home.path().toLocal8Bit());
  const QString pdf = home.path() + QStringLiteral("/Documents/KPJ.pdf");

  QtFormOutput output(nullptr);
  PrintDialogVisit visit;
  pressPrintWhenUp(visit, {}, QStringLiteral("form-print-no-printer.png"));
  const PrintResult printed = output.print(shippedForm());
  EXPECT_EQ(printed.outcome, PrintOutcome::Printed) << static_cast<int>(printed.refusal) << " " << printed.subject;
  EXPECT_EQ(visit.printers, QStringList{QStringLiteral("Print to File (PDF)")});
  EXPECT_EQ(visit.proposedFile, pdf);
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF-"));
  // The document name, as Qt writes it: UTF-16 with a byte-order mark.
  EXPECT_TRUE(bytes.contains(QByteArray("/Title (\xFE\xFF\x00K\x00P\x00J)", 17)));

  PrintDialogVisit missing;
  pressPrintWhenUp(missing, home.path() + QStringLiteral("/missing/KPJ.pdf"), QStringLiteral("form-print-missing.png"));
  const PrintResult refused = output.print(shippedForm());
  EXPECT_EQ(refused.outcome, PrintOutcome::NotStarted);
  EXPECT_EQ(refused.refusal, PrintRefusal::FolderMissing);
  EXPECT_EQ(refused.subject, home.path().toStdString() + "/missing");
  qputenv("HOME", oldHome);
}

}  // namespace
}  // namespace lw
