#pragma once
// The Form list dialog (dialog 170): previews a request form and loads,
// prints or saves it as a picture.
#include <functional>
#include <string>
#include <vector>

#include "core/ids/form_list_dialog_ids.h"
#include "core/ports/file_dialog_port.h"
#include "core/ports/form_output_port.h"

namespace lw {

struct AppContext;
class DialogPort;

namespace formdlg {
inline constexpr char kTitle[] = "KPJ Form List";  // when the Language table has no key 170
inline constexpr char kPictureExtension[] = "bmp";
}  // namespace formdlg

// The filters of the dialog's open and save dialogs, named in the language
// in use.
std::vector<FileFilter> formProjectFilters(const AppContext& ctx);
std::vector<FileFilter> formPictureFilters(const AppContext& ctx);

class FormListDialog {
 public:
  // Builds another project's form into the text; false leaves it as it was.
  using Renderer = std::function<bool(const std::string& projectPath, std::u16string& form)>;

  FormListDialog(AppContext& ctx, FormOutputPort& output, Renderer render);

  // Set by the creator before the dialog is shown.
  void setFormText(std::u16string form) { form_ = std::move(form); }
  const std::u16string& formText() const { return form_; }

  // Captions from the Language table; the preview gets the form.
  void onInit(DialogPort& dialog, FormPreviewPort& preview);
  void onCommand(DialogPort& dialog, FormPreviewPort& preview, int id);

 private:
  void loadProject(FormPreviewPort& preview);
  void print();
  void savePicture();

  AppContext& ctx_;
  FormOutputPort& output_;
  Renderer render_;
  std::u16string form_;
};

}  // namespace lw
