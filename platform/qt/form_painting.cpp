#include "platform/qt/form_painting.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QDir>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>

#include "image/file_replace.h"

namespace lw {

namespace {

QString qtext(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void ensureFormPainting() {
  if (QCoreApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "loomwrite-cli";
  static char* argv[] = {name, nullptr};
  // Kept to the end of the process: fonts and printers need it until then.
  new QGuiApplication(argc, argv);
}

QFont makeFormFont() {
  QFont font(QStringLiteral("Courier New"), 9);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

const QFont& previewFormFont() {
  static const QFont font = makeFormFont();
  return font;
}

CellSize formCellSize(const QFont& font, QPaintDevice* device) {
  const QFontMetrics metrics(font, device);
  return {metrics.horizontalAdvance(QLatin1Char('0')), metrics.height()};
}

QtFormCanvas::QtFormCanvas(QPainter& painter) : painter_(painter), ascent_(painter.fontMetrics().ascent()) {
  painter_.setPen(QPen(Qt::black, 1));
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.setRenderHint(QPainter::Antialiasing, false);
}

void QtFormCanvas::drawLine(const FrameLine& l) {
  // The end pixel is not part of the line.
  const int dx = (l.x2 > l.x1) - (l.x2 < l.x1);
  const int dy = (l.y2 > l.y1) - (l.y2 < l.y1);
  if (dx == 0 && dy == 0) return;
  painter_.drawLine(l.x1, l.y1, l.x2 - dx, l.y2 - dy);
}

void QtFormCanvas::drawText(int x, int y, std::u16string_view text) {
  // A plain string: no mnemonic or tab processing by Qt.
  painter_.drawText(x, y + ascent_, qtext(text));
}

QImage drawFormPage(std::u16string_view form, const QFont& font) {
  QImage probe(1, 1, QImage::Format_RGB32);
  const CellSize cell = formCellSize(font, &probe);
  QImage page(kFormPageColumns * cell.cx, kFormPageRows * cell.cy, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter painter(&page);
  painter.setFont(font);
  QtFormCanvas canvas(painter);
  drawRequestForm(canvas, FrameTarget::Screen, cell, page.width(), form);
  return page;
}

MonoBitmap formPicture(std::u16string_view form) {
  QFont font = makeFormFont();
  font.setStyleStrategy(QFont::NoAntialias);
  const QImage page = drawFormPage(form, font);
  MonoBitmap bitmap(page.width(), page.height());
  for (int y = 0; y < page.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(row[x]) < 128) bitmap.setBlack(x, y);
    }
  }
  return bitmap;
}

bool printForm(QPrinter& printer, std::u16string_view form) {
  static const QFont printFont = makeFormFont();
  printer.setDocName(QString::fromLatin1(kFormDocumentName));
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setFont(printFont);
  // The painter's origin is the printable area's corner; its size is the page.
  const CellSize cell = formCellSize(printFont, &printer);
  QtFormCanvas canvas(painter);
  drawRequestForm(canvas, FrameTarget::Print, cell, printer.width(), form);
  return painter.end();
}

QString defaultFormPdfPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  return QDir(folder).filePath(QString::fromLatin1(kFormDocumentName) + QStringLiteral(".pdf"));
}

PrintResult printNotStarted(const QPrinter& printer) {
  auto refused = [](PrintRefusal why, const QString& subject) {
    return PrintResult{PrintOutcome::NotStarted, why, subject.toStdString()};
  };
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    const QString path = printer.outputFileName();
    if (path.isEmpty()) return refused(PrintRefusal::NoPdfFile, {});
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir()) return refused(PrintRefusal::FolderMissing, folder.filePath());
    if (file.exists() && (!file.isFile() || !file.isWritable()))
      return refused(PrintRefusal::FileNotWritable, file.filePath());
    if (!file.exists() && !folder.isWritable()) return refused(PrintRefusal::FolderNotWritable, folder.filePath());
    return refused(PrintRefusal::PdfNotOpened, file.filePath());
  }
  const QString name = printer.printerName();
  if (name.isEmpty()) return refused(PrintRefusal::NoPrinter, {});
  return refused(PrintRefusal::PrinterRefused, name);
}

FileReplaceResult writeFormPictureFile(std::u16string_view form, const std::string& path) {
  const std::vector<uint8_t> bmp = encodeMonoBmp(formPicture(form));
  return replaceFileContent(path, {bmp});
}

std::string writeFormPicture(std::u16string_view form, const std::string& path) {
  const FileReplaceResult written = writeFormPictureFile(form, path);
  return written.ok ? std::string() : (written.detail.empty() ? "cannot be written" : written.detail);
}

std::string writeFormPdf(std::u16string_view form, const std::string& path) {
  // The printer writes beside the target; the result replaces it only once whole.
  const QFileInfo target(QString::fromStdString(path));
  QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
  if (!temporary.open()) return temporary.errorString().toStdString();
  temporary.close();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(temporary.fileName());
  if (!printForm(printer, form) || QFileInfo(temporary.fileName()).size() == 0)
    return "the PDF could not be written";
  // A temporary file is private to its owner; the PDF is an ordinary file.
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::permissions(temporary.fileName().toStdString(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read, ec);
  fs::rename(temporary.fileName().toStdString(), path, ec);
  if (ec) return ec.message();
  temporary.setAutoRemove(false);
  return {};
}

}  // namespace lw
