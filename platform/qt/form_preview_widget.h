#pragma once
// The Form list dialog's preview window: the form drawn on a page of
// 100 x 70 cells of the preview font, shown through scroll bars whose
// arithmetic is the dialog logic's.
#include <QAbstractScrollArea>
#include <QImage>

#include "core/ports/form_output_port.h"
#include "ui/dialogs/form_preview_scroll.h"

class QScrollBar;

namespace lw {

class FormPreviewWidget final : public QAbstractScrollArea, public FormPreviewPort {
 public:
  explicit FormPreviewWidget(QWidget* parent = nullptr);

  // FormPreviewPort
  void setText(const std::u16string& form) override;
  std::u16string text() const override { return form_; }
  void invalidate() override;

  const PreviewScroll& scrollState() const { return scroll_; }
  CellSize cellSize() const { return scroll_.cell; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int, int) override {}

 private:
  void connectBar(QScrollBar* bar, bool vertical);
  void syncBars();
  ScrollBarState& state(bool vertical) { return vertical ? scroll_.vertical : scroll_.horizontal; }
  int step(bool vertical) const { return vertical ? scroll_.cell.cy : scroll_.cell.cx; }

  std::u16string form_;
  PreviewScroll scroll_;
  bool syncing_ = false;
};

}  // namespace lw
