#pragma once
// A status field of the main window: a sunken panel with one line of text,
// over which a progress picture can be painted.
#include <QLabel>
#include <optional>

#include "core/ports/progress_paint_port.h"

namespace lw {

class StatusField final : public QLabel {
  Q_OBJECT

 public:
  explicit StatusField(QWidget* parent);

  // The area the progress picture uses, in its own coordinates.
  PaintRect clientRect() const;
  // Paints the picture at once; a picture without bar removes it.
  void showProgress(const ProgressPaint& paint);
  const std::optional<ProgressPaint>& progress() const { return progress_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<ProgressPaint> progress_;
};

}  // namespace lw
