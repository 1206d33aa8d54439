#include "platform/qt/qt_main_window.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "platform/qt/caption_fit.h"
#include "platform/qt/hex_entry_validator.h"
#include "platform/qt/qt_language.h"
#include "platform/qt/status_field.h"
#include "resources/resource_source.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"
#include "ui/main/main_dialog_layout.h"

namespace lw {

namespace {

constexpr char kBitmapType[] = "BITMAP";
constexpr char kIconType[] = "ICON";
constexpr int kComboHeightDu = 12;

// The banner shows its menu on a right click as well as from its button,
// and only while the button is enabled (an operation may be running).
class Banner final : public QLabel {
 public:
  Banner(QWidget* parent, QMenu* menu) : QLabel(parent), menu_(menu) {}
  void setMenuButton(QWidget* button) { button_ = button; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override {
    if (button_ && button_->isEnabled()) menu_->exec(event->globalPos());
  }

 private:
  QMenu* menu_;
  QWidget* button_ = nullptr;
};

}  // namespace

QtMainWindow::QtMainWindow(const ResourceSource& resources, QWidget* parent)
    : QDialog(parent), resources_(resources), timers_([this](int id) {
        if (logic_) logic_->onTimer(id);
      }) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  // The dialog font, or the nearest face with the same metrics.
  setFont(dialogFont());
  computeDialogUnits();
  // The template's size is the smallest; the window may grow, and the hex
  // view takes the extra room (see resizeEvent).
  setMinimumSize(toPixels(0, 0, kMainDialogWidthDu, kMainDialogHeightDu).size());
  resize(minimumSize());
  setSizeGripEnabled(true);

  const QPixmap icon = resourceImage(kIconType, kIconId);
  if (!icon.isNull()) setWindowIcon(QIcon(icon));

  connect(&windowMenu_, &QMenu::aboutToShow, this, &QtMainWindow::retextWindowMenu);

  for (const ControlLayout& c : mainDialogLayout()) {
    QWidget* w = c.kind == ControlKind::Picture ? createBanner(c) : createControl(c);
    if (!w) continue;
    w->setEnabled(c.enabled);
    if (!c.visible) w->hide();
    if (c.id != mainid::kNone) {
      w->setObjectName(QString::number(c.id));
      w->setProperty("controlId", c.id);
      controls_.registerControl(c.id, w, c.sorted);
    }
  }
  if (menuButton_) controls_.registerControl(mainid::kWindowMenu, menuButton_);
  growToFitCaptions(*this);
  for (int id : {mainid::kCodeBufferGroup, mainid::kStatusLine, mainid::kSizeField, mainid::kChecksumField,
                 mainid::kAutoReload})
    rememberBaseGeometry(id);
}

void QtMainWindow::setLogic(MainDialog* logic) {
  logic_ = logic;
  if (logic_ && !checkUpdateAction_) buildWindowMenu();
}

// The target operations, the update check, the languages and the About box,
// as the logic lists them; their texts are taken again each time the menu
// opens, so they follow a change of language.
void QtMainWindow::buildWindowMenu() {
  for (const MainDialog::MenuEntry& entry : logic_->targetMenuEntries()) {
    QAction* action = windowMenu_.addAction(QString());
    const unsigned command = entry.command;
    connect(action, &QAction::triggered, this, [this, command] {
      if (logic_) logic_->onSystemCommand(command);
    });
    targetActions_.emplace_back(command, action);
  }
  windowMenu_.addSeparator();
  checkUpdateAction_ = windowMenu_.addAction(QString());
  connect(checkUpdateAction_, &QAction::triggered, this, [this] {
    if (logic_) logic_->onSystemCommand(syscmd::kCheckUpdate);
  });
  languageMenu_ = windowMenu_.addMenu(QString());
  auto* choices = new QActionGroup(languageMenu_);
  for (const auto& [index, name] : logic_->windowMenuTexts().languages) {
    QAction* choice = languageMenu_->addAction(QString::fromStdString(name));
    choice->setCheckable(true);
    choices->addAction(choice);
    connect(choice, &QAction::triggered, this, [this, index = index] {
      if (logic_) logic_->chooseLanguage(index);
    });
    languageActions_[index] = choice;
  }
  windowMenu_.addSeparator();
  aboutAction_ = windowMenu_.addAction(QString());
  connect(aboutAction_, &QAction::triggered, this, [this] {
    if (logic_) logic_->onSystemCommand(syscmd::kAbout);
  });
  retextWindowMenu();
}

void QtMainWindow::retextWindowMenu() {
  if (!logic_ || !checkUpdateAction_) return;
  for (const MainDialog::MenuEntry& entry : logic_->targetMenuEntries())
    for (auto& [command, action] : targetActions_)
      if (command == entry.command) action->setText(QString::fromStdString(entry.text));
  const MainDialog::WindowMenuTexts texts = logic_->windowMenuTexts();
  checkUpdateAction_->setText(QString::fromStdString(texts.checkUpdate));
  languageMenu_->setTitle(QString::fromStdString(texts.language));
  aboutAction_->setText(QString::fromStdString(texts.about));
  for (const auto& [index, action] : languageActions_) action->setChecked(index == texts.languageInUse);
}

bool QtMainWindow::event(QEvent* event) {
  // A control whose text changed (the option boxes take their captions from
  // the part) asks its parent for room; captions are fitted again.
  if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) growToFitCaptions(*this);
  return QDialog::event(event);
}

void QtMainWindow::computeDialogUnits() { units_ = DialogUnits(font()); }

QRect QtMainWindow::toPixels(int x, int y, int width, int height) const { return units_.toPixels(x, y, width, height); }

QPixmap QtMainWindow::resourceImage(const char* type, uint32_t id) const {
  QPixmap pixmap;
  const auto bytes = resources_.find(type, id);
  if (bytes.data()) pixmap.loadFromData(bytes.data(), static_cast<uint>(bytes.size()));
  return pixmap;
}

QWidget* QtMainWindow::createBanner(const ControlLayout& c) {
  auto* banner = new Banner(this, &windowMenu_);
  banner_ = banner;
  bannerImage_ = resourceImage(kBitmapType, kBannerBitmapId);
  bannerHeight_ = toPixels(c.x, c.y, c.width, c.height).height();
  // The menu button sits at the right end of the banner inside the window.
  auto* menuButton = new QToolButton(this);
  menuButton_ = menuButton;
  banner->setMenuButton(menuButton);
  menuButton->setObjectName(QStringLiteral("windowMenuButton"));
  menuButton->setText(QString::fromUtf8("\u2261"));
  menuButton->setAutoRaise(true);
  menuButton->setPopupMode(QToolButton::InstantPopup);
  menuButton->setMenu(&windowMenu_);
  menuButton->setStyleSheet(QStringLiteral(
      "QToolButton { color: white; font-size: 16px; border: none; padding: 0 4px; }"
      "QToolButton::menu-indicator { image: none; }"
      "QToolButton:hover { background: rgba(255,255,255,40); }"
      "QToolButton:disabled { color: rgba(255,255,255,90); }"));
  layOutBanner();
  return banner;
}

void QtMainWindow::layOutBanner() {
  if (!banner_) return;
  // The banner spans the window's whole width whatever its size: the
  // picture fills the height; where it is narrower than the window its
  // right edge is drawn on to the end, and where wider it is cut.
  banner_->setGeometry(0, 0, width(), bannerHeight_);
  if (!bannerImage_.isNull()) {
    const QPixmap scaled = bannerImage_.scaledToHeight(bannerHeight_, Qt::SmoothTransformation);
    QPixmap filled(banner_->size());
    filled.fill(Qt::transparent);
    QPainter painter(&filled);
    painter.drawPixmap(0, 0, scaled);
    if (scaled.width() < filled.width() && scaled.width() > 0)
      painter.drawPixmap(QRect(scaled.width(), 0, filled.width() - scaled.width(), filled.height()), scaled,
                         QRect(scaled.width() - 1, 0, 1, scaled.height()));
    painter.end();
    banner_->setPixmap(filled);
  }
  const int side = bannerHeight_ - 8;
  menuButton_->setGeometry(width() - side - 6, 4, side, side);
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layOutBanner();
  layOutForSize();
}

// Positions at the smallest size are the template's; beyond it the code
// buffer's group and hex view grow with the window, the controls below them
// keep to the bottom edge and the status line widens with the window.
void QtMainWindow::layOutForSize() {
  const int dx = std::max(0, width() - minimumWidth());
  const int dy = std::max(0, height() - minimumHeight());
  for (const auto& [id, base] : baseGeometry_) {
    QWidget* w = control(id);
    if (!w) continue;
    QRect r = base;
    switch (id) {
      case mainid::kCodeBufferGroup:
      case mainid::kHexView: r.adjust(0, 0, dx, dy); break;
      case mainid::kStatusLine: r.adjust(0, dy, dx, dy); break;
      case mainid::kSizeField:
      case mainid::kChecksumField:
      case mainid::kAutoReload: r.translate(dx, dy); break;
      default: continue;
    }
    w->setGeometry(r);
  }
}

void QtMainWindow::rememberBaseGeometry(int id) {
  // Called while the window has its smallest size.
  if (QWidget* w = control(id)) baseGeometry_[id] = w->geometry();
}

QWidget* QtMainWindow::createControl(const ControlLayout& c) {
  QRect rect = toPixels(c.x, c.y, c.width, c.height);
  const QString caption = QString::fromUtf8(c.caption);
  const int id = c.id;
  QWidget* w = nullptr;
  switch (c.kind) {
    case ControlKind::GroupBox: {
      auto* g = new QGroupBox(caption, this);
      g->lower();
      w = g;
      break;
    }
    case ControlKind::Label:
      w = new QLabel(caption, this);
      break;
    case ControlKind::Edit:
    case ControlKind::HexEntry: {
      auto* e = new QLineEdit(this);
      e->setReadOnly(c.readOnly);
      if (c.textLimit > 0) e->setMaxLength(c.textLimit);
      if (c.kind == ControlKind::HexEntry) e->setValidator(new HexEntryValidator(e));
      connect(e, &QLineEdit::textEdited, this, [this, id] { command(id, notify::kContentChanged); });
      w = e;
      break;
    }
    case ControlKind::ComboEdit:
    case ControlKind::ComboList: {
      auto* combo = new QComboBox(this);
      if (c.kind == ControlKind::ComboEdit) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
      }
      connect(combo, &QComboBox::activated, this, [this, id] { command(id, notify::kSelChange); });
      rect.setHeight(toPixels(0, 0, 0, kComboHeightDu).height());
      w = combo;
      break;
    }
    case ControlKind::Radio: {
      auto* r = new QRadioButton(caption, this);
      r->setChecked(c.checked);
      connect(r, &QRadioButton::clicked, this, [this, id] { command(id, notify::kClicked); });
      w = r;
      break;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(caption, this);
      box->setChecked(c.checked);
      connect(box, &QCheckBox::clicked, this, [this, id] { command(id, notify::kClicked); });
      w = box;
      break;
    }
    case ControlKind::PushButton: {
      auto* b = new QPushButton(caption, this);
      b->setAutoDefault(false);
      connect(b, &QPushButton::clicked, this, [this, id] { command(id, notify::kClicked); });
      w = b;
      break;
    }
    case ControlKind::StatusField: {
      auto* s = new StatusField(this);
      s->setText(caption);
      w = s;
      break;
    }
    case ControlKind::HexView:
    case ControlKind::Picture:
      return nullptr;  // the hex view comes from its module, see attachControl
  }
  w->setGeometry(rect);
  return w;
}

void QtMainWindow::attachControl(int id, QWidget* widget) {
  const ControlLayout* c = findControlLayout(id);
  if (!widget || !c) return;
  widget->setParent(this);
  widget->setGeometry(toPixels(c->x, c->y, c->width, c->height));
  widget->setObjectName(QString::number(id));
  widget->setProperty("controlId", id);
  widget->show();
  controls_.registerControl(id, widget);
  baseGeometry_[id] = widget->geometry();
  layOutForSize();
}

void QtMainWindow::command(int id, int code) {
  if (logic_) logic_->onCommand(id, code);
}

PaintRect QtMainWindow::clientRect(int controlId) const {
  auto* field = qobject_cast<StatusField*>(control(controlId));
  return field ? field->clientRect() : PaintRect{};
}

void QtMainWindow::paintProgress(int controlId, const ProgressPaint& paint) {
  if (auto* field = qobject_cast<StatusField*>(control(controlId))) field->showProgress(paint);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (!logic_) {
    QDialog::closeEvent(event);
    return;
  }
  // The logic saves the choice and ends the dialog itself.
  event->ignore();
  logic_->onCloseRequest();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void QtMainWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && logic_) logic_->onActivated();
}

}  // namespace lw
