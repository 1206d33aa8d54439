#pragma once
// The request form drawn with Qt: a FormCanvas over a QPainter, the form
// font ("Courier New" 9 points, which fontconfig maps to a metric twin),
// the screen page as an image, the 1-bit picture, and the printed page.
#include <QFont>
#include <QImage>
#include <string>

#include "core/ports/form_output_port.h"
#include "image/file_replace.h"
#include "report/form_drawing.h"
#include "report/mono_bitmap.h"

class QPaintDevice;
class QPainter;
class QPrinter;

namespace lw {

// Creates the toolkit's application object on the off-screen platform when
// there is none (the command-line tool draws forms without a display).
void ensureFormPainting();

// A new instance of the form font.
QFont makeFormFont();
// The font shared by every preview of the run (created on first use).
const QFont& previewFormFont();

// Width and height of "0" in the font on the device.
CellSize formCellSize(const QFont& font, QPaintDevice* device);

class QtFormCanvas final : public FormCanvas {
 public:
  explicit QtFormCanvas(QPainter& painter);
  void drawLine(const FrameLine& line) override;
  void drawText(int x, int y, std::u16string_view text) override;

 private:
  QPainter& painter_;
  int ascent_;
};

// The screen page (100 x 70 cells of the font) with frame and text, black
// on white.
QImage drawFormPage(std::u16string_view form, const QFont& font);

// The picture "Save Picture" writes: the screen page drawn with a picture
// font of its own, without smoothing, as black and white pixels.
MonoBitmap formPicture(std::u16string_view form);

// Prints the form on one page of the printer, document name "KPJ": the
// printable area is the page, the print frame column applies, the print
// font is created at the first print and kept. False when the print job
// could not be started.
bool printForm(QPrinter& printer, std::u16string_view form);

// The document name of every print and PDF of the form.
inline constexpr char kFormDocumentName[] = "KPJ";
// Where a PDF of the form goes when nothing else is chosen: "KPJ.pdf" in
// the user's documents folder, or the home folder when there is none.
QString defaultFormPdfPath();
// The result of a print printForm could not start on the printer: why (the
// PDF file's folder or the file itself cannot be written, or the printer
// refused the job) and the file, folder or printer it names.
PrintResult printNotStarted(const QPrinter& printer);

// The picture as a BMP file, written whole or not at all.
FileReplaceResult writeFormPictureFile(std::u16string_view form, const std::string& path);
// The same, empty on success, else the reason.
std::string writeFormPicture(std::u16string_view form, const std::string& path);

// The printed page as a PDF file (through printForm), written whole or not
// at all. Empty on success, else the reason.
std::string writeFormPdf(std::u16string_view form, const std::string& path);

}  // namespace lw
