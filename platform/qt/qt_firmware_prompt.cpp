#include "platform/qt/qt_firmware_prompt.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/caption_fit.h"
#include "platform/qt/qt_language.h"
#include "platform/qt/warning_sign_frames.h"

namespace lw {

namespace {

// Dialog units of the template to pixels (Tahoma 9 at the usual
// resolution), so that control 1096 lands on pixel (30, 131).
QRect fromDialogUnits(int x, int y, int w, int h) {
  auto px = [](int v) { return (v * 7 + 2) / 4; };
  auto py = [](int v) { return (v * 15 + 4) / 8; };
  return QRect(px(x), py(y), px(w), py(h));
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

QFont promptFont(const char* family, int pixelHeight) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixelHeight);
  font.setWeight(QFont::DemiBold);  // 600
  font.setStyleHint(QFont::SansSerif);
  return withChineseFallback(font);
}

}  // namespace

PromptAnimation& sharedPromptAnimation() {
  static PromptAnimation animation;
  return animation;
}

QtFirmwarePromptView::QtFirmwarePromptView(QWidget* parent, int mode, FirmwarePromptServices services,
                                           PromptAnimation& animation)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), services_(std::move(services)),
      frames_(warningSignFrames()) {
  setModal(true);
  setFixedSize(fromDialogUnits(0, 0, 297, 98).size());
  QPalette amber = palette();
  amber.setColor(QPalette::Window, kPromptAmber);
  setPalette(amber);
  setAutoFillBackground(true);

  auto* ok = new QPushButton(this);
  ok->setGeometry(fromDialogUnits(97, 77, 50, 14));
  auto* cancel = new QPushButton(this);
  cancel->setGeometry(fromDialogUnits(151, 77, 50, 14));

  auto* message = new QLabel(this);
  message->setGeometry(fromDialogUnits(7, 42, 283, 25));
  message->setWordWrap(true);
  message->setFont(promptFont("Arial", 16));
  QPalette onAmber = message->palette();
  onAmber.setColor(QPalette::WindowText, Qt::black);
  message->setPalette(onAmber);

  auto* title = new QLabel(this);
  title->setGeometry(fromDialogUnits(3, 4, 290, 36));
  title->setAlignment(Qt::AlignCenter);
  title->setFont(promptFont("Impact", 48));
  QPalette redOnBlack = title->palette();
  redOnBlack.setColor(QPalette::Window, Qt::black);
  redOnBlack.setColor(QPalette::WindowText, QColor(255, 0, 0));
  title->setPalette(redOnBlack);
  title->setAutoFillBackground(true);

  auto* finishedSign = new QLabel(this);
  finishedSign->setGeometry(fromDialogUnits(17, 70, 23, 22));
  finishedSign->setPixmap(QPixmap::fromImage(finishedSignBitmap()));
  finishedSign->hide();

  controls_ = {{prompt::kOk, ok},
               {prompt::kCancel, cancel},
               {prompt::kMessage, message},
               {prompt::kTitle, title},
               {prompt::kFinishedSign, finishedSign}};

  logic_ = std::make_shared<FirmwarePrompt>(ports_, ports_, ports_, animation, mode);
  connect(ok, &QPushButton::clicked, this, [this] { logic_->onOk(); });
  connect(cancel, &QPushButton::clicked, this, [this] { logic_->onCancel(); });
  ok->setDefault(true);
  logic_->onInit();
}

void QtFirmwarePromptView::showEvent(QShowEvent* event) {
  growToFitCaptions(*this);
  QDialog::showEvent(event);
}

bool QtFirmwarePromptView::event(QEvent* event) {
  // The texts change with the language and during the wait.
  if (event->type() == QEvent::LayoutRequest) growToFitCaptions(*this);
  return QDialog::event(event);
}

QtFirmwarePromptView::~QtFirmwarePromptView() {
  for (auto& [id, timer] : timers_) timer->stop();
}

void QtFirmwarePromptView::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter p(this);
  const int k = logic_->frame();
  if (k >= 0 && k < static_cast<int>(frames_.size())) p.drawImage(prompt::kSignX, prompt::kSignY, frames_[k]);
  // The template's modal frame.
  p.setPen(QColor(96, 80, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void QtFirmwarePromptView::reject() {
  if (ending_) return QDialog::reject();
  logic_->onUserClose();
}

void QtFirmwarePromptView::closeEvent(QCloseEvent* event) {
  if (ending_) return QDialog::closeEvent(event);
  event->ignore();
  logic_->onUserClose();
}

// --- the logic's ports ---

QWidget* QtFirmwarePromptView::Ports::control(int id) const {
  const auto it = view_.controls_.find(id);
  return it == view_.controls_.end() ? nullptr : it->second;
}

bool QtFirmwarePromptView::Ports::hasControl(int id) const { return control(id) != nullptr; }

void QtFirmwarePromptView::Ports::setText(int id, const std::string& text) {
  if (auto* button = qobject_cast<QPushButton*>(control(id))) button->setText(qs(text));
  if (auto* label = qobject_cast<QLabel*>(control(id))) label->setText(qs(text));
}

std::string QtFirmwarePromptView::Ports::text(int id) const {
  if (auto* button = qobject_cast<QPushButton*>(control(id))) return button->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(control(id))) return label->text().toStdString();
  return {};
}

void QtFirmwarePromptView::Ports::setEnabled(int id, bool enabled) {
  if (QWidget* w = control(id)) w->setEnabled(enabled);
}

bool QtFirmwarePromptView::Ports::isEnabled(int id) const {
  const QWidget* w = control(id);
  return w && w->isEnabled();
}

void QtFirmwarePromptView::Ports::setVisible(int id, bool visible) {
  if (QWidget* w = control(id)) w->setVisible(visible);
}

bool QtFirmwarePromptView::Ports::isVisible(int id) const {
  const QWidget* w = control(id);
  return w && !w->isHidden();
}

void QtFirmwarePromptView::Ports::setDefaultButton(int id) {
  if (auto* button = qobject_cast<QPushButton*>(control(id))) button->setDefault(true);
}

void QtFirmwarePromptView::Ports::setFocus(int id) {
  if (QWidget* w = control(id)) w->setFocus();
}

void QtFirmwarePromptView::Ports::setTooltip(int id, const std::string& text) {
  if (QWidget* w = control(id)) w->setToolTip(qs(text));
}

void QtFirmwarePromptView::Ports::setTitle(const std::string& title) { view_.setWindowTitle(qs(title)); }

std::string QtFirmwarePromptView::Ports::title() const { return view_.windowTitle().toStdString(); }

void QtFirmwarePromptView::Ports::repaint() { view_.update(); }

void QtFirmwarePromptView::Ports::endDialog(int result) {
  view_.ending_ = true;
  view_.done(result);
}

void QtFirmwarePromptView::Ports::startTimer(int id, int periodMs) {
  QTimer*& timer = view_.timers_[id];
  if (!timer) {
    timer = new QTimer(&view_);
    QtFirmwarePromptView* view = &view_;
    QObject::connect(timer, &QTimer::timeout, view, [view, id] { view->logic_->onTimer(id); });
  }
  timer->start(periodMs);
}

void QtFirmwarePromptView::Ports::killTimer(int id) {
  const auto it = view_.timers_.find(id);
  if (it != view_.timers_.end()) it->second->stop();
}

std::string QtFirmwarePromptView::Ports::languageText(uint16_t key) {
  return view_.services_.text ? view_.services_.text(key) : std::string();
}

void QtFirmwarePromptView::Ports::postStartUpdate(std::function<void()> downloadEnded) {
  // Posted to the application, like a message to the main window: it runs
  // once the OK click has been handled.
  auto start = view_.services_.startUpdate;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [start, downloadEnded = std::move(downloadEnded)] {
        if (start) start(downloadEnded);
      },
      Qt::QueuedConnection);
}

void QtFirmwarePromptView::Ports::postCloseMainWindow() {
  auto close = view_.services_.closeMainWindow;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [close] { if (close) close(); }, Qt::QueuedConnection);
}

void QtFirmwarePromptView::Ports::postCloseSelf() {
  // Dropped by Qt if the prompt is gone by then.
  QtFirmwarePromptView* view = &view_;
  QMetaObject::invokeMethod(view, [view] { view->logic_->onCloseRequest(); }, Qt::QueuedConnection);
}

void QtFirmwarePromptView::Ports::invalidateSign() {
  view_.update(prompt::kSignX, prompt::kSignY, prompt::kSignSize + 9, prompt::kSignSize + 9);
}

void QtFirmwarePromptView::Ports::updateNow() { view_.QWidget::repaint(); }

void runFirmwarePrompt(QWidget* parent, int mode, const FirmwarePromptServices& services) {
  QtFirmwarePromptView view(parent, mode, services, sharedPromptAnimation());
  view.exec();
}

}  // namespace lw
