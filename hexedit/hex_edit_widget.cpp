#include "hexedit/hex_edit_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "core/ports/hex_view_port.h"

namespace lw::hexedit {

namespace {

constexpr int kMargin = 4;
constexpr std::size_t kRow = HexEditor::kBytesPerRow;
constexpr int kAddressArea = 0, kHexArea = 1, kTextArea = 2, kHeaderArea = 3;

QColor fromColourRef(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

const QColor kGutter(0xF2, 0xF2, 0xF2);
const QColor kSelection(0xCC, 0xE0, 0xF8);
const QColor kCaret(0x0A, 0x34, 0x6A);

}  // namespace

HexEditWidget::HexEditWidget(QWidget* parent, int controlId, Notify notify)
    : QAbstractScrollArea(parent), controlId_(controlId), notify_(std::move(notify)) {
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(true);
  QPalette pal = viewport()->palette();
  pal.setColor(QPalette::Base, Qt::white);
  viewport()->setPalette(pal);
  viewport()->setBackgroundRole(QPalette::Base);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  state_.model.setChangeListener([this] { contentChanged(); });
  applySettings();
}

intptr_t HexEditWidget::sendMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  const intptr_t result = handleHexMessage(state_, msg, wParam, lParam);
  switch (msg) {
    case hexmsg::kRowSetup:
    case hexmsg::kColours:
      applySettings();
      break;
    case hexmsg::kCommand:
    case hexmsg::kFlashSize:
      editor_.clampCaret();
      if (state_.model.empty()) editor_.moveTo(0, false, false);
      updateScrollRange();
      viewport()->update();
      break;
    default:
      break;
  }
  return result;
}

void HexEditWidget::contentChanged() {
  editor_.clampCaret();
  updateScrollRange();
  viewport()->update();
  if (notify_) notify_(controlId_, hexmsg::kChangedNotification);
}

void HexEditWidget::applySettings() {
  font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font_.setPixelSize(std::max(8, state_.settings.rowHeight - 3));
  font_.setStyleHint(QFont::TypeWriter);
  const QFontMetrics fm(font_);
  charWidth_ = std::max(1, fm.horizontalAdvance(QLatin1Char('0')));
  rowHeight_ = std::max(state_.settings.rowHeight, fm.height());
  ascent_ = fm.ascent() + (rowHeight_ - fm.height()) / 2;
  updateScrollRange();
  viewport()->update();
}

// ---- Geometry ---------------------------------------------------------------

int HexEditWidget::addressDigits() const {
  std::size_t top = std::max<std::size_t>({state_.model.size(), state_.settings.flashSize, 1});
  int digits = 0;
  for (top -= 1; top > 0; top >>= 4) ++digits;
  return std::max(5, digits);
}

int HexEditWidget::hexColumnX() const { return kMargin + (addressDigits() + 2) * charWidth_; }

int HexEditWidget::textColumnX() const {
  return hexColumnX() + static_cast<int>(kRow) * 3 * charWidth_ + 2 * charWidth_;
}

std::size_t HexEditWidget::rowCount() const {
  const std::size_t size = state_.model.size();
  const std::size_t cells = state_.model.writable(size) ? size + 1 : size;
  return (cells + kRow - 1) / kRow;
}

int HexEditWidget::visibleRows() const { return std::max(1, (viewport()->height() - rowHeight_) / rowHeight_); }

int HexEditWidget::rowY(std::size_t row) const {
  const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
  return rowHeight_ + static_cast<int>(row - first) * rowHeight_;
}

void HexEditWidget::updateScrollRange() {
  const auto rows = static_cast<long long>(rowCount());
  const int maxFirst = static_cast<int>(std::max(0LL, rows - visibleRows()));
  verticalScrollBar()->setRange(0, maxFirst);
  verticalScrollBar()->setPageStep(visibleRows());
  verticalScrollBar()->setSingleStep(1);
  const int contentWidth = textColumnX() + static_cast<int>(kRow) * charWidth_ + kMargin;
  horizontalScrollBar()->setRange(0, std::max(0, contentWidth - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void HexEditWidget::ensureCaretVisible() {
  const auto row = static_cast<int>(editor_.caret() / kRow);
  QScrollBar* bar = verticalScrollBar();
  if (row < bar->value()) bar->setValue(row);
  if (row >= bar->value() + visibleRows()) bar->setValue(row - visibleRows() + 1);
}

HexEditWidget::Hit HexEditWidget::hitTest(const QPoint& pos) const {
  const int x = pos.x() + horizontalScrollBar()->value();
  const int y = std::max(pos.y(), rowHeight_);
  const auto row = static_cast<std::size_t>(verticalScrollBar()->value() + (y - rowHeight_) / rowHeight_);
  Hit hit{row * kRow, false, editor_.area()};
  const int hexX = hexColumnX();
  const int textX = textColumnX();
  if (x >= textX - charWidth_) {
    hit.area = HexArea::Text;
    hit.offset += static_cast<std::size_t>(std::clamp((x - textX) / charWidth_, 0, static_cast<int>(kRow) - 1));
  } else {
    hit.area = HexArea::Hex;
    const int cellWidth = 3 * charWidth_;
    const int cell = std::clamp((x - hexX) / cellWidth, 0, static_cast<int>(kRow) - 1);
    hit.offset += static_cast<std::size_t>(cell);
    hit.lowNibble = (x - hexX) - cell * cellWidth >= charWidth_;
  }
  return hit;
}

// ---- Painting ----------------------------------------------------------------

void HexEditWidget::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(font_);
  const HexViewSettings& s = state_.settings;
  const ByteModel& model = state_.model;
  const int dx = -horizontalScrollBar()->value();
  const int width = viewport()->width();
  const int height = viewport()->height();
  const int hexX = hexColumnX() + dx;
  const int textX = textColumnX() + dx;
  const int cw = charWidth_;
  auto lineColour = [&](int area) { return fromColourRef(s.colours[static_cast<std::size_t>(2 * area)]); };
  auto textColour = [&](int area) { return fromColourRef(s.colours[static_cast<std::size_t>(2 * area + 1)]); };
  auto separatorAfter = [&](int area) { return (s.areaFlags >> (2 * area)) & 1u; };

  // Address gutter and header band.
  p.fillRect(QRect(0, 0, hexX - cw, height), kGutter);
  p.fillRect(QRect(0, 0, width, rowHeight_), kGutter);
  p.setPen(textColour(kHeaderArea));
  for (std::size_t c = 0; c < kRow; ++c) {
    p.drawText(hexX + static_cast<int>(c) * 3 * cw, ascent_, QString::asprintf("%02X", static_cast<unsigned>(c)));
    p.drawText(textX + static_cast<int>(c) * cw, ascent_, QString::number(static_cast<unsigned>(c), 16).toUpper());
  }

  const std::size_t rows = rowCount();
  const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
  const std::size_t last = std::min(rows, first + static_cast<std::size_t>(visibleRows()) + 1);
  const std::size_t selBegin = editor_.selectionBegin();
  const std::size_t selEnd = editor_.hasSelection() ? editor_.selectionEnd() : selBegin;
  const std::size_t caret = editor_.caret();
  const bool focused = hasFocus();
  const int digits = addressDigits();

  for (std::size_t row = first; row < last; ++row) {
    const int y = rowY(row);
    const std::size_t base = row * kRow;
    if (separatorAfter(kTextArea) && (row / 4) % 2 == 1) {
      QColor band = lineColour(kTextArea);
      band.setAlpha(48);
      p.fillRect(QRect(hexX - cw, y, width, rowHeight_), band);
    }
    p.setPen(textColour(kAddressArea));
    p.drawText(kMargin + dx, y + ascent_, QString::asprintf("%0*zX", digits, base));
    for (std::size_t c = 0; c < kRow; ++c) {
      const std::size_t offset = base + c;
      const int cellX = hexX + static_cast<int>(c) * 3 * cw;
      const int charX = textX + static_cast<int>(c) * cw;
      const bool present = offset < model.size();
      if (present && offset >= selBegin && offset < selEnd) {
        p.fillRect(QRect(cellX, y, c + 1 < kRow ? 3 * cw : 2 * cw, rowHeight_), kSelection);
        p.fillRect(QRect(charX, y, cw, rowHeight_), kSelection);
      }
      if (offset == caret && (present || model.writable(offset))) {
        const bool hexActive = editor_.area() == HexArea::Hex;
        const QRect nibble(cellX + (editor_.onLowNibble() ? cw : 0), y, cw, rowHeight_);
        const QRect byteCell(cellX, y, 2 * cw, rowHeight_);
        const QRect charCell(charX, y, cw, rowHeight_);
        p.setPen(kCaret);
        if (focused) {
          p.fillRect(hexActive ? nibble : charCell, kCaret);
        } else {
          p.drawRect((hexActive ? nibble : charCell).adjusted(0, 0, -1, -1));
        }
        p.drawRect((hexActive ? charCell : byteCell).adjusted(0, 0, -1, -1));
      }
      if (!present) continue;
      const uint8_t b = model.at(offset);
      const QString pair = QString::asprintf("%02X", b);
      const bool caretHere = focused && offset == caret;
      for (int n = 0; n < 2; ++n) {
        const bool inverted = caretHere && editor_.area() == HexArea::Hex && (n == 1) == editor_.onLowNibble();
        p.setPen(inverted ? QColor(Qt::white) : textColour(kHexArea));
        p.drawText(cellX + n * cw, y + ascent_, pair.mid(n, 1));
      }
      const bool charInverted = caretHere && editor_.area() == HexArea::Text;
      p.setPen(charInverted ? QColor(Qt::white) : textColour(kTextArea));
      p.drawText(charX, y + ascent_, QString(QChar(b >= 0x20 && b < 0x7F ? b : '.')));
    }
  }

  // Separators between the areas and under the header.
  if (separatorAfter(kAddressArea)) {
    p.setPen(lineColour(kAddressArea));
    p.drawLine(hexX - cw, 0, hexX - cw, height);
  }
  if (separatorAfter(kHexArea)) {
    p.setPen(lineColour(kHexArea));
    p.drawLine(textX - cw, 0, textX - cw, height);
  }
  if (separatorAfter(kHeaderArea)) {
    p.setPen(lineColour(kHeaderArea));
    p.drawLine(0, rowHeight_ - 1, width, rowHeight_ - 1);
  }
}

void HexEditWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRange();
}

// ---- Input --------------------------------------------------------------------

void HexEditWidget::keyPressEvent(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const long long page = static_cast<long long>(visibleRows()) * static_cast<long long>(kRow);
  if (event->matches(QKeySequence::Copy)) {
    copySelection();
    return;
  }
  // Ctrl+Y redoes too, as it does in most editors, whatever the platform's
  // own redo key is.
  const bool redo = event->matches(QKeySequence::Redo) ||
                    (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier);
  if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Undo) || redo) {
    const bool changed = event->matches(QKeySequence::Paste) ? pasteClipboard()
                         : event->matches(QKeySequence::Undo) ? editor_.undo()
                                                              : editor_.redo();
    if (!changed) QApplication::beep();
    ensureCaretVisible();
    viewport()->update();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    editor_.selectAll();
    viewport()->update();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Left: editor_.stepLeft(shift); break;
    case Qt::Key_Right: editor_.stepRight(shift); break;
    case Qt::Key_Up: editor_.moveBy(-static_cast<long long>(kRow), shift); break;
    case Qt::Key_Down: editor_.moveBy(static_cast<long long>(kRow), shift); break;
    case Qt::Key_PageUp: editor_.moveBy(-page, shift); break;
    case Qt::Key_PageDown: editor_.moveBy(page, shift); break;
    case Qt::Key_Home:
      if (ctrl) editor_.moveTo(0, false, shift); else editor_.moveToRowStart(shift);
      break;
    case Qt::Key_End:
      if (ctrl) editor_.moveTo(editor_.lastPosition(), false, shift); else editor_.moveToRowEnd(shift);
      break;
    case Qt::Key_G:
      if (ctrl) {
        goToAddressDialog();
        return;
      }
      [[fallthrough]];
    default: {
      const QString typed = event->text();
      if (ctrl || typed.isEmpty() || !editor_.type(typed.at(0).unicode())) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
      }
      break;
    }
  }
  ensureCaretVisible();
  viewport()->update();
}

void HexEditWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const Hit hit = hitTest(event->position().toPoint());
  editor_.setArea(hit.area);
  editor_.moveTo(hit.offset, hit.lowNibble, event->modifiers() & Qt::ShiftModifier);
  pressOffset_ = editor_.caret();
  dragging_ = true;
  viewport()->update();
}

void HexEditWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  const Hit hit = hitTest(event->position().toPoint());
  // The pressed byte stays selected whichever way the drag goes.
  if (hit.offset >= pressOffset_) {
    editor_.selectRange(pressOffset_, hit.offset + 1);
  } else {
    editor_.selectRange(pressOffset_ + 1, hit.offset);
  }
  ensureCaretVisible();
  viewport()->update();
}

QString HexEditWidget::text(ViewText which) const {
  return QString::fromUtf8(viewText(which, state_.settings.languageIndex));
}

void HexEditWidget::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(text(ViewText::Copy), QKeySequence::Copy);
  copy->setEnabled(!state_.model.empty());
  QAction* paste = menu.addAction(text(ViewText::Paste), QKeySequence::Paste);
  paste->setEnabled(QApplication::clipboard()->mimeData() != nullptr);
  menu.addSeparator();
  QAction* undo = menu.addAction(text(ViewText::Undo), QKeySequence::Undo);
  undo->setEnabled(editor_.canUndo());
  QAction* redo = menu.addAction(text(ViewText::Redo), QKeySequence::Redo);
  redo->setEnabled(editor_.canRedo());
  menu.addSeparator();
  QAction* all = menu.addAction(text(ViewText::SelectAll), QKeySequence::SelectAll);
  all->setEnabled(!state_.model.empty());
  menu.addSeparator();
  QAction* go = menu.addAction(text(ViewText::GoToAddressMenu), QKeySequence(Qt::CTRL | Qt::Key_G));
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == copy) copySelection();
  if (chosen == paste) pasteClipboard();
  if (chosen == undo) editor_.undo();
  if (chosen == redo) editor_.redo();
  if (chosen == all) editor_.selectAll();
  if (chosen == go) goToAddressDialog();
  viewport()->update();
}

void HexEditWidget::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void HexEditWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  dragging_ = false;
  viewport()->update();
}

void HexEditWidget::copySelection() {
  if (state_.model.empty()) return;
  QApplication::clipboard()->setText(QString::fromStdString(editor_.copyText()));
}

// Raw bytes when the clipboard holds some, else its text: hexadecimal
// pairs in the hex column, characters in the text column.
bool HexEditWidget::pasteClipboard() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return false;
  std::vector<uint8_t> bytes;
  if (data->hasFormat(QStringLiteral("application/octet-stream"))) {
    const QByteArray raw = data->data(QStringLiteral("application/octet-stream"));
    bytes.assign(raw.begin(), raw.end());
  } else if (data->hasText()) {
    const QByteArray text = data->text().toLatin1();
    bytes = pasteBytesOf(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), editor_.area());
  }
  return editor_.paste(bytes);
}

void HexEditWidget::goToAddressDialog() {
  bool ok = false;
  const QString typed = QInputDialog::getText(this, text(ViewText::GoToAddress), text(ViewText::AddressPrompt),
                                              QLineEdit::Normal, QString(), &ok);
  if (!ok) return;
  QString digits = typed.trimmed();
  if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) digits = digits.mid(2);
  bool parsed = false;
  const qulonglong address = digits.toULongLong(&parsed, 16);
  if (!parsed || !editor_.goTo(static_cast<std::size_t>(address))) {
    QMessageBox::warning(this, text(ViewText::GoToAddress),
                         text(ViewText::NotAnAddress)
                             .arg(typed, QString::number(editor_.lastPosition(), 16).toUpper()));
    return;
  }
  ensureCaretVisible();
  viewport()->update();
}

}  // namespace lw::hexedit
