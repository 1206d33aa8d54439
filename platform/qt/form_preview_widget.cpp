#include "platform/qt/form_preview_widget.h"

#include <QPainter>
#include <QScrollBar>

#include "platform/qt/form_painting.h"

namespace lw {

namespace {

std::optional<ScrollRequest> requestOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollRequest::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollRequest::LineDown;
    case QAbstractSlider::SliderPageStepSub: return ScrollRequest::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return ScrollRequest::PageDown;
    case QAbstractSlider::SliderToMinimum: return ScrollRequest::Top;
    case QAbstractSlider::SliderToMaximum: return ScrollRequest::Bottom;
    case QAbstractSlider::SliderMove: return ScrollRequest::ThumbTracking;
    default: return std::nullopt;
  }
}

}  // namespace

FormPreviewWidget::FormPreviewWidget(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  QImage probe(1, 1, QImage::Format_RGB32);
  scroll_ = setUpPreviewScroll(formCellSize(previewFormFont(), &probe), 0, 0);
  connectBar(verticalScrollBar(), true);
  connectBar(horizontalScrollBar(), false);
}

void FormPreviewWidget::connectBar(QScrollBar* bar, bool vertical) {
  // The page moves when the thumb is released, not while it is dragged.
  bar->setTracking(false);
  connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, vertical](int action) {
    const auto request = requestOf(action);
    if (!request || *request == ScrollRequest::ThumbTracking) return;
    applyScroll(state(vertical), step(vertical), *request);
    bar->setSliderPosition(state(vertical).position);
    viewport()->update();
  });
  connect(bar, &QAbstractSlider::sliderReleased, this, [this, bar, vertical] {
    applyScroll(state(vertical), step(vertical), ScrollRequest::ThumbReleased, bar->sliderPosition());
    bar->setSliderPosition(state(vertical).position);
    viewport()->update();
  });
  // Anything else that moves the bar (the wheel) is followed.
  connect(bar, &QAbstractSlider::valueChanged, this, [this, vertical](int value) {
    if (syncing_) return;
    state(vertical).position = value;
    viewport()->update();
  });
}

void FormPreviewWidget::syncBars() {
  syncing_ = true;
  for (const bool vertical : {true, false}) {
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    const ScrollBarState& s = state(vertical);
    bar->setRange(0, s.maxPosition());
    bar->setPageStep(std::max(1, s.page));
    bar->setSingleStep(step(vertical));
    bar->setValue(s.position);
  }
  setVerticalScrollBarPolicy(scroll_.vertical.shown() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(scroll_.horizontal.shown() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  syncing_ = false;
}

void FormPreviewWidget::setText(const std::u16string& form) {
  form_ = form;
  viewport()->update();
}

void FormPreviewWidget::invalidate() { viewport()->update(); }

void FormPreviewWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  const ScrollBarState v = scroll_.vertical, h = scroll_.horizontal;
  scroll_ = setUpPreviewScroll(scroll_.cell, viewport()->width(), viewport()->height());
  scroll_.vertical.position = std::min(v.position, scroll_.vertical.maxPosition());
  scroll_.horizontal.position = std::min(h.position, scroll_.horizontal.maxPosition());
  syncBars();
}

void FormPreviewWidget::paintEvent(QPaintEvent*) {
  const QImage page = drawFormPage(form_, previewFormFont());
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().window());
  painter.drawImage(QPoint(0, 0), page, QRect(scroll_.horizontal.position, scroll_.vertical.position,
                                              page.width(), page.height()));
}

}  // namespace lw
