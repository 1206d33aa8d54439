#pragma once
// The main window on Qt: a dialog whose controls are built from the main
// window's layout table and addressed by id through controls(). It is a
// thin view: every user action goes to the MainDialog logic, which drives
// the controls back through the ports.
#include <QDialog>
#include <QMenu>
#include <QLabel>
#include <QPixmap>
#include <map>
#include <utility>
#include <vector>

#include "core/ports/progress_paint_port.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_dialog_controls.h"
#include "platform/qt/qt_timers.h"

namespace lw {

class MainDialog;
class ResourceSource;
struct ControlLayout;

class QtMainWindow final : public QDialog, public ProgressPaintPort {
  Q_OBJECT

 public:
  explicit QtMainWindow(const ResourceSource& resources, QWidget* parent = nullptr);

  // The logic that receives the window's events (set before it is shown).
  // It also gives the window menu its entries and texts.
  void setLogic(MainDialog* logic);

  DialogPort& controls() { return controls_; }
  TimerPort& timers() { return timers_; }
  // A control's widget, or nullptr.
  QWidget* control(int id) const { return controls_.widget(id); }
  // Places a widget made elsewhere (the hex view) as the control with id.
  void attachControl(int id, QWidget* widget);
  // The window menu: the target operations, "Check update", the languages and
  // the About entry, in the language in use each time it opens.
  QMenu* windowMenu() { return &windowMenu_; }
  void retextWindowMenu();
  // Converts dialog units to pixels with the dialog font's metrics.
  QRect toPixels(int x, int y, int width, int height) const;
  // Delivers a control's command to the logic.
  void command(int id, int code);

  // ProgressPaintPort
  PaintRect clientRect(int controlId) const override;
  void paintProgress(int controlId, const ProgressPaint& paint) override;

 public slots:
  // Escape never closes the main window; only Exit and the close box do.
  void reject() override {}

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void computeDialogUnits();
  QWidget* createControl(const ControlLayout& c);
  QWidget* createBanner(const ControlLayout& c);
  void layOutBanner();
  void layOutForSize();
  void rememberBaseGeometry(int id);
  void buildWindowMenu();
  QPixmap resourceImage(const char* type, uint32_t id) const;

  const ResourceSource& resources_;
  MainDialog* logic_ = nullptr;
  QtDialogControls controls_{this};
  QtTimers timers_;
  QMenu windowMenu_;
  std::vector<std::pair<unsigned, QAction*>> targetActions_;
  QAction* checkUpdateAction_ = nullptr;
  QAction* aboutAction_ = nullptr;
  QMenu* languageMenu_ = nullptr;
  std::map<uint16_t, QAction*> languageActions_;
  QLabel* banner_ = nullptr;
  QWidget* menuButton_ = nullptr;
  QPixmap bannerImage_;
  int bannerHeight_ = 0;
  std::map<int, QRect> baseGeometry_;  // controls that follow the window's size, at its smallest
  DialogUnits units_{QFont()};
};

}  // namespace lw
