#pragma once
// The Form list dialog's Qt view and the Qt forms of its outputs: the
// print dialog, the picture file, the desktop's picture viewer.
#include <QWidget>
#include <string>

#include "core/context/app_context.h"
#include "platform/qt/qt_control_dialog.h"
#include "ui/dialogs/form_list_dialog.h"

namespace lw {

class FormPreviewWidget;

class QtFormOutput final : public FormOutputPort {
 public:
  explicit QtFormOutput(QWidget* parent) : parent_(parent) {}
  PrintResult print(const std::u16string& form) override;
  PictureResult savePicture(const std::u16string& form, const std::string& path) override;
  void openInViewer(const std::string& path) override;

 private:
  QWidget* parent_;
};

class QtFormListDialogView final : public QtControlDialog {
 public:
  QtFormListDialogView(QWidget* parent, FormListDialog& logic);
  FormPreviewWidget& preview() { return *preview_; }

 private:
  FormPreviewWidget* preview_;
};

// Shows the dialog modally with the form; render serves "Load *.KPJ".
// output null: the Qt outputs above.
void runFormListDialog(QWidget* parent, AppContext& ctx, const std::u16string& form, FormListDialog::Renderer render,
                       FormOutputPort* output = nullptr);

}  // namespace lw
