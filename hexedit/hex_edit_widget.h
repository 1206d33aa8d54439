#pragma once
// The hex view's Qt widget: an address column, sixteen hex cells and
// sixteen text cells per row, a header of column offsets. It draws only the
// rows in sight, so large contents scroll as fast as small ones. Editing
// and selection go through HexEditor; the bytes live in the shared
// HexViewState.
#include <QAbstractScrollArea>
#include <functional>

#include "hexedit/hex_editor.h"
#include "hexedit/hex_view_state.h"
#include "hexedit/view_texts.h"

namespace lw::hexedit {

class HexEditWidget final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  using Notify = std::function<void(int controlId, int code)>;

  HexEditWidget(QWidget* parent, int controlId, Notify notify);

  // Handles one message of the view's set, then brings the view up to date.
  intptr_t sendMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);

  HexViewState& state() { return state_; }
  HexEditor& editor() { return editor_; }

  void copySelection();
  bool pasteClipboard();
  void goToAddressDialog();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // One of the view's own texts in the language its owner asked for.
  QString text(ViewText which) const;
  struct Hit {
    std::size_t offset;
    bool lowNibble;
    HexArea area;
  };

  void contentChanged();
  void applySettings();
  void updateScrollRange();
  void ensureCaretVisible();
  int visibleRows() const;
  std::size_t rowCount() const;
  int addressDigits() const;
  int hexColumnX() const;
  int textColumnX() const;
  int rowY(std::size_t row) const;
  Hit hitTest(const QPoint& pos) const;

  int controlId_;
  Notify notify_;
  HexViewState state_;
  HexEditor editor_{state_.model};
  QFont font_;
  int charWidth_ = 8;
  int rowHeight_ = 14;
  int ascent_ = 10;
  bool dragging_ = false;
  std::size_t pressOffset_ = 0;
};

}  // namespace lw::hexedit
