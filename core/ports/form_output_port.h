#pragma once
// What the Form list dialog needs from its platform beyond its controls:
// the preview window's text, the printer, the picture file and the
// desktop's picture viewer.
#include <string>

namespace lw {

class FormPreviewPort {
 public:
  virtual ~FormPreviewPort() = default;
  // The preview's window text: the form it draws.
  virtual void setText(const std::u16string& form) = 0;
  virtual std::u16string text() const = 0;
  // Redraws the whole preview.
  virtual void invalidate() = 0;
};

enum class PrintOutcome { Printed, Cancelled, NotStarted };

// Why a print did not start: no PDF file named, the PDF file's folder
// missing, the file or the folder not writable, or the file not opened for
// another reason; no printer chosen, or the printer refused the job.
enum class PrintRefusal {
  None,
  NoPdfFile,
  FolderMissing,
  FileNotWritable,
  FolderNotWritable,
  PdfNotOpened,
  NoPrinter,
  PrinterRefused,
};

struct PrintResult {
  PrintOutcome outcome = PrintOutcome::Cancelled;
  PrintRefusal refusal = PrintRefusal::None;
  std::string subject;  // the file, folder or printer the refusal names
};

// How writing the picture went: on failure the system's reason and its
// error number (errno).
struct PictureResult {
  bool ok = true;
  std::string detail;
  int error = 0;
};

class FormOutputPort {
 public:
  virtual ~FormOutputPort() = default;
  // Shows the print dialog, which offers printing to a PDF file beside the
  // printers (or alone when there is none), and prints the form on one page.
  virtual PrintResult print(const std::u16string& form) = 0;
  // Writes the form's 1-bit picture as a BMP file, whole or not at all.
  virtual PictureResult savePicture(const std::u16string& form, const std::string& path) = 0;
  // Opens the file in the desktop's default viewer.
  virtual void openInViewer(const std::string& path) = 0;
};

}  // namespace lw
