#include "platform/qt/qt_file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace lw {

namespace {
QStringList nameFilters(const std::vector<FileFilter>& filters) {
  QStringList out;
  for (const FileFilter& f : filters) {
    QString pattern = QString::fromStdString(f.pattern);
    pattern.replace(';', ' ');
    out << QString::fromStdString(f.label) + " (" + pattern + ")";
  }
  return out;
}

std::optional<std::string> run(QWidget* owner, QFileDialog::AcceptMode mode, const std::string& initialPath,
                               const std::vector<FileFilter>& filters, const std::string& defaultExtension) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilters(nameFilters(filters));
  if (!defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
  if (!initialPath.empty()) dialog.selectFile(QString::fromStdString(initialPath));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}
}  // namespace

std::optional<std::string> QtFileDialogs::openFile(const std::string& initialPath,
                                                   const std::vector<FileFilter>& filters) {
  return run(owner_, QFileDialog::AcceptOpen, initialPath, filters, {});
}

std::optional<std::string> QtFileDialogs::saveFile(const std::string& initialPath,
                                                   const std::vector<FileFilter>& filters,
                                                   const std::string& defaultExtension) {
  return run(owner_, QFileDialog::AcceptSave, initialPath, filters, defaultExtension);
}

}  // namespace lw
