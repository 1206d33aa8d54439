#include "platform/qt/qt_form_list_dialog.h"

#include <QDesktopServices>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QUrl>

#include "platform/qt/form_painting.h"
#include "platform/qt/form_preview_widget.h"

namespace lw {

namespace {

QPushButton* button(const char* text) {
  auto* b = new QPushButton(QString::fromUtf8(text));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

PrintResult QtFormOutput::print(const std::u16string& form) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QString::fromLatin1(kFormDocumentName));
  // Without a printer the dialog offers only the PDF file, named after the
  // document in the user's documents folder.
  if (QPrinterInfo::availablePrinters().isEmpty()) printer.setOutputFileName(defaultFormPdfPath());
  QPrintDialog dialog(&printer, parent_);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  if (dialog.exec() != QDialog::Accepted) return {PrintOutcome::Cancelled, PrintRefusal::None, {}};
  if (printForm(printer, form)) return {PrintOutcome::Printed, PrintRefusal::None, {}};
  return printNotStarted(printer);
}

PictureResult QtFormOutput::savePicture(const std::u16string& form, const std::string& path) {
  const FileReplaceResult written = writeFormPictureFile(form, path);
  return {written.ok, written.detail, written.error};
}

void QtFormOutput::openInViewer(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

QtFormListDialogView::QtFormListDialogView(QWidget* parent, FormListDialog& logic) : QtControlDialog(parent, 430, 337) {
  setWindowTitle(formdlg::kTitle);
  addControl(formdlg::kLoadKpj, button("Load *.KPJ"), 7, 312, 57, 18);
  addControl(formdlg::kPrint, button("Print"), 77, 312, 57, 18);
  addControl(formdlg::kSavePicture, button("Save Picture"), 147, 312, 57, 18);
  addControl(formdlg::kExit, button("Cancel"), 336, 312, 57, 18);
  // The preview takes the place of the template's placeholder 1093.
  preview_ = new FormPreviewWidget;
  addControl(formdlg::kPreview, preview_, 5, 9, 415, 297);
  setCommandHandler([this, &logic](int id) { logic.onCommand(controls(), *preview_, id); });
  logic.onInit(controls(), *preview_);
}

void runFormListDialog(QWidget* parent, AppContext& ctx, const std::u16string& form, FormListDialog::Renderer render,
                       FormOutputPort* output) {
  QtFormOutput qtOutput(parent);
  FormListDialog logic(ctx, output ? *output : qtOutput, std::move(render));
  logic.setFormText(form);
  QtFormListDialogView view(parent, logic);
  view.exec();
}

}  // namespace lw
