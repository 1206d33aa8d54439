// Draws the program's own banner (bitmap 151) and icon (icon 128) into
// resources/data. Run by hand when the artwork changes:
//   cmake --build build --target draw_images
//   QT_QPA_PLATFORM=offscreen build/bin/draw_images resources/data
// The build also runs it as `draw_images --desktop-icons DIR` to draw the
// desktop menu's icon in each hicolor size (DIR/NxN/apps/loomwrite.png).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kNavy(0x0A, 0x34, 0x6A);
const QColor kBlue(0x16, 0x5C, 0xA6);
const QColor kAmber(0xF0, 0xA0, 0x20);
const QColor kPin(0xC9, 0xD3, 0xDD);
const QColor kChipBody(0x1C, 0x26, 0x33);

// A square package with pins on all four sides and its pin-1 mark.
void drawChip(QPainter& p, const QRectF& body, int pinsPerSide) {
  const qreal pinLength = body.width() * 0.14;
  const qreal pitch = body.width() / (pinsPerSide + 1);
  const qreal pinWidth = pitch * 0.45;
  p.setPen(Qt::NoPen);
  p.setBrush(kPin);
  for (int i = 1; i <= pinsPerSide; ++i) {
    const qreal offset = i * pitch - pinWidth / 2;
    p.drawRect(QRectF(body.left() + offset, body.top() - pinLength, pinWidth, pinLength));
    p.drawRect(QRectF(body.left() + offset, body.bottom(), pinWidth, pinLength));
    p.drawRect(QRectF(body.left() - pinLength, body.top() + offset, pinLength, pinWidth));
    p.drawRect(QRectF(body.right(), body.top() + offset, pinLength, pinWidth));
  }
  p.setBrush(kChipBody);
  p.setPen(QPen(QColor(0x5A, 0x6E, 0x84), body.width() * 0.03));
  p.drawRoundedRect(body, body.width() * 0.08, body.width() * 0.08);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x8A, 0x9B, 0xAE));
  const qreal dot = body.width() * 0.12;
  p.drawEllipse(QRectF(body.left() + dot * 0.8, body.top() + dot * 0.8, dot, dot));
}

// Faint board traces ending in vias, laid out on a fixed grid.
void drawTraces(QPainter& p, const QRectF& area, qreal unit) {
  p.setBrush(Qt::NoBrush);
  const QColor trace(255, 255, 255, 34);
  for (int i = 0; i < 14; ++i) {
    const qreal x = area.left() + i * area.width() / 14;
    const qreal y = area.top() + ((i * 37) % 100) / 100.0 * area.height();
    QPainterPath path(QPointF(x, area.bottom()));
    path.lineTo(x, y + unit * 2);
    path.lineTo(x + unit * 2, y);
    path.lineTo(x + unit * (6 + (i % 3) * 3), y);
    p.setPen(QPen(trace, unit * 0.35));
    p.drawPath(path);
    p.setPen(QPen(trace, unit * 0.35));
    p.drawEllipse(QPointF(x + unit * (6 + (i % 3) * 3) + unit * 0.6, y), unit * 0.6, unit * 0.6);
  }
}

QImage banner() {
  // Twice the banner's size in pixels at the usual dialog font.
  QImage image(1300, 102, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient bg(0, 0, image.width(), 0);
  bg.setColorAt(0.0, kNavy);
  bg.setColorAt(0.55, kBlue);
  bg.setColorAt(1.0, kNavy);
  p.fillRect(image.rect(), bg);
  drawTraces(p, QRectF(560, 6, 560, 90), 6);

  drawChip(p, QRectF(26, 22, 58, 58), 5);
  p.setPen(kAmber);
  QFont mark(QStringLiteral("Liberation Sans"));
  mark.setPixelSize(15);
  mark.setBold(true);
  p.setFont(mark);
  p.drawText(QRectF(26, 22, 58, 58), Qt::AlignCenter, QStringLiteral("M0+"));

  QFont title(QStringLiteral("Liberation Sans"));
  title.setPixelSize(40);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QPointF(112, 52), QStringLiteral("Loomwrite Programmer"));
  QFont subtitle(QStringLiteral("Liberation Sans"));
  subtitle.setPixelSize(19);
  p.setFont(subtitle);
  p.setPen(QColor(0xB8, 0xD4, 0xF0));
  p.drawText(QPointF(114, 82), QStringLiteral("In-circuit programming for Cortex-M0+ microcontrollers"));

  p.fillRect(QRectF(0, image.height() - 5, image.width(), 5), kAmber);
  return image;
}

// The icon is laid out on a 64-unit grid and drawn at any pixel size.
QImage icon(int size = 64) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  QLinearGradient bg(0, 0, 0, 64);
  bg.setColorAt(0, kBlue);
  bg.setColorAt(1, kNavy);
  p.setBrush(bg);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);
  drawChip(p, QRectF(17, 21, 30, 30), 4);
  // An arrow writing into the part.
  QPainterPath arrow;
  arrow.moveTo(32, 4);
  arrow.lineTo(32, 17);
  p.setPen(QPen(kAmber, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(arrow);
  p.setPen(Qt::NoPen);
  p.setBrush(kAmber);
  p.drawPolygon(QPolygonF({QPointF(25, 14), QPointF(39, 14), QPointF(32, 22)}));
  return image;
}

constexpr int kDesktopIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

bool drawDesktopIcons(const QDir& root) {
  for (const int size : kDesktopIconSizes) {
    const QString dir = QStringLiteral("%1x%1/apps").arg(size);
    if (!root.mkpath(dir) || !icon(size).save(root.filePath(dir + QStringLiteral("/loomwrite.png")))) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc == 3 && QByteArray(argv[1]) == "--desktop-icons") {
    if (drawDesktopIcons(QDir(QString::fromLocal8Bit(argv[2])))) return 0;
    std::fprintf(stderr, "draw_images: could not write the icons into %s\n", argv[2]);
    return 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_images <resources/data directory> | --desktop-icons <directory>\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  const bool ok = banner().save(dir.filePath(QStringLiteral("banner_151.png"))) &&
                  icon().save(dir.filePath(QStringLiteral("icon_128.png")));
  if (!ok) std::fprintf(stderr, "draw_images: could not write into %s\n", argv[1]);
  return ok ? 0 : 1;
}
