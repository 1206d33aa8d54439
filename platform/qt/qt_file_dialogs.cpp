#include "platform/qt/qt_file_dialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QStringList>

namespace lw {

namespace {
// Qt reads a filter's patterns from its last parenthesised part and, with
// the details hidden, shows what stands before it: so "LABEL (PATTERNS)"
// shows the label exactly as it is, parentheses of its own included, once.
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
  // The desktop's own dialogs show the label only up to its first
  // parenthesis ("Support Format"); Qt's dialog shows it whole.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(nameFilters(filters));
  // The file-type box is as wide as its longest label, so every filter reads
  // whole and the dialog grows to hold it.
  if (auto* types = dialog.findChild<QComboBox*>("fileTypeCombo")) {
    types->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    types->setMinimumWidth(types->sizeHint().width());
  }
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
