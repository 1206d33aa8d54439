#pragma once
// The open and save dialogs with Qt's file dialog.
#include "core/ports/file_dialog_port.h"

class QWidget;

namespace lw {

class QtFileDialogs final : public FileDialogPort {
 public:
  void setOwner(QWidget* owner) { owner_ = owner; }
  std::optional<std::string> openFile(const std::string& initialPath, const std::vector<FileFilter>& filters) override;
  std::optional<std::string> saveFile(const std::string& initialPath, const std::vector<FileFilter>& filters,
                                      const std::string& defaultExtension) override;

 private:
  QWidget* owner_ = nullptr;
};

}  // namespace lw
