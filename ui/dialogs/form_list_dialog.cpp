#include "ui/dialogs/form_list_dialog.h"

#include "core/codes.h"
#include "core/context/app_context.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/dialog_port.h"
#include "core/ports/message_box_port.h"
#include "core/text.h"
#include "resources/language.h"

namespace lw {

namespace {

// The Language table text that says why a print did not start; 0 for none.
uint16_t refusalTextKey(PrintRefusal why) {
  switch (why) {
    case PrintRefusal::NoPdfFile: return textkey::kNoPdfFileNamed;
    case PrintRefusal::FolderMissing: return textkey::kFolderMissing;
    case PrintRefusal::FileNotWritable: return textkey::kFileNotWritable;
    case PrintRefusal::FolderNotWritable: return textkey::kFolderNotWritable;
    case PrintRefusal::PdfNotOpened: return textkey::kPdfNotOpened;
    case PrintRefusal::NoPrinter: return textkey::kNoPrinterChosen;
    case PrintRefusal::PrinterRefused: return textkey::kPrinterRefused;
    case PrintRefusal::None: break;
  }
  return 0;
}

}  // namespace

std::vector<FileFilter> formProjectFilters(const AppContext& ctx) {
  return {namedFileFilter(languageTextOf(ctx, textkey::kProjectFormatFilter), "*.kpj")};
}
std::vector<FileFilter> formPictureFilters(const AppContext& ctx) {
  return {namedFileFilter(languageTextOf(ctx, textkey::kBitmapFormatFilter), "*.bmp")};
}

FormListDialog::FormListDialog(AppContext& ctx, FormOutputPort& output, Renderer render)
    : ctx_(ctx), output_(output), render_(std::move(render)) {}

void FormListDialog::onInit(DialogPort& dialog, FormPreviewPort& preview) {
  preview.setText(form_);
  if (!ctx_.resources) return;
  auto caption = [&](int key) { return languageText(*ctx_.resources, ctx_.state.languageIndex, static_cast<uint16_t>(key)); };
  if (const auto title = caption(formdlg::kDialogId)) dialog.setTitle(captionPart(*title));
  for (const int id : {formdlg::kExit, formdlg::kLoadKpj, formdlg::kPrint, formdlg::kSavePicture}) {
    if (const auto text = caption(id)) dialog.setText(id, captionPart(*text));
  }
}

void FormListDialog::onCommand(DialogPort& dialog, FormPreviewPort& preview, int id) {
  switch (id) {
    case formdlg::kLoadKpj: loadProject(preview); break;
    case formdlg::kPrint: print(); break;
    case formdlg::kSavePicture: savePicture(); break;
    case formdlg::kExit: dialog.endDialog(formdlg::kExit); break;
    default: break;
  }
}

void FormListDialog::loadProject(FormPreviewPort& preview) {
  if (!ctx_.ports.files) return;
  const auto path = ctx_.ports.files->openFile("", formProjectFilters(ctx_));
  if (!path) return;
  if (render_) render_(*path, form_);
  // A form that did not build leaves the previous text, so the preview
  // keeps the previous form.
  if (!form_.empty()) {
    preview.setText(form_);
  } else {
    form_ = preview.text();
  }
  preview.invalidate();
}

void FormListDialog::print() {
  const PrintResult printed = output_.print(form_);
  if (printed.outcome != PrintOutcome::NotStarted || !ctx_.ports.messages) return;
  std::string text = languageTextOf(ctx_, textkey::kPrintNotStarted);
  if (const uint16_t why = refusalTextKey(printed.refusal))
    text += "\n\n" + fillIn(languageTextOf(ctx_, why), {printed.subject});
  ctx_.ports.messages->show(text, languageTextOf(ctx_, textkey::kError), mb::kIconError);
}

void FormListDialog::savePicture() {
  if (!ctx_.ports.files) return;
  const auto path = ctx_.ports.files->saveFile("", formPictureFilters(ctx_), formdlg::kPictureExtension);
  if (!path) return;
  const PictureResult written = output_.savePicture(form_, *path);
  if (!written.ok) {
    if (ctx_.ports.messages)
      ctx_.ports.messages->show(languageTextOf(ctx_, textkey::kPictureNotWritten) + "\n\n" + *path + "\n" +
                                    fileErrorTextOf(ctx_, written.error, written.detail),
                                languageTextOf(ctx_, textkey::kError), mb::kIconError);
    return;
  }
  output_.openInViewer(*path);
}

}  // namespace lw
