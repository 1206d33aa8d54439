// Every dialog of the program, shown offscreen with the fonts this machine
// has: every caption, label and prompt fits its control and lies inside
// the dialog, and no control covers another's text. A new dialog joins by
// one entry in dialogsToCheck(); the pictures land in the build directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <functional>
#include <memory>

#include "core/context/messages.h"
#include "core/ids/main_dialog_ids.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/recording_message_boxes.h"
#include "platform/posix/posix_modules.h"
#include "platform/qt/caption_fit.h"
#include "platform/qt/code_file_dialog_views.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/offline_dialog_view.h"
#include "platform/qt/qt_firmware_prompt.h"
#include "platform/qt/qt_main_window.h"
#include "resources/embedded_resources.h"
#include "ui/dialogs/area_dialog.h"
#include "ui/dialogs/kpj_dialog.h"
#include "ui/dialogs/offline_dialog.h"
#include "ui/main/main_dialog.h"

namespace lw {
namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "dialog_fit_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Shows the dialog, saves its picture and returns what does not fit.
QStringList check(QWidget& dialog, const QString& picture) {
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) return {"not shown"};
  QCoreApplication::processEvents();
  dialog.grab().save(QStringLiteral(LW_BINARY_DIR "/") + picture + ".png");
  return captionsThatDoNotFit(dialog);
}

struct DialogToCheck {
  const char* name;  // also the picture's file name
  std::function<QStringList()> run;
};

std::vector<DialogToCheck> dialogsToCheck() {
  return {
      {"area_dialog",
       [] {
         AreaDialog logic(embeddedResources(), 0, 0xEC00);
         QtAreaDialogView view(nullptr, logic);
         return check(view, "area_dialog");
       }},
      {"kpj_dialog",
       [] {
         KpjDialog logic;
         QtKpjDialogView view(nullptr, logic);
         return check(view, "kpj_dialog");
       }},
      {"offline_dialog",
       [] {
         AppContext ctx;
         ctx.resources = &embeddedResources();
         RecordingMessageBoxes messages;
         ctx.ports.messages = &messages;
         OfflineSettings settings;
         OfflineDialog logic(ctx, settings, 0xFFF0);
         QtOfflineDialogView view(nullptr, logic);
         return check(view, "offline_dialog");
       }},
      {"firmware_prompt",
       [] {
         AppContext ctx;
         ctx.resources = &embeddedResources();
         PromptAnimation animation;
         FirmwarePromptServices services;
         services.text = [&ctx](uint16_t key) { return languageTextOf(ctx, key); };
         QtFirmwarePromptView view(nullptr, 0, services, animation);
         return check(view, "firmware_prompt");
       }},
      {"main_window",
       [] {
         MemorySettings settings;
         RecordingMessageBoxes messages;
         PosixModules modules;
         AppContext ctx;
         ctx.resources = &embeddedResources();
         ctx.ports.messages = &messages;
         ctx.ports.settings = &settings;
         ctx.ports.modules = &modules;
         uint32_t error = 0;
         ctx.state.hexViewLibrary = modules.load(std::string(LW_BIN_DIR) + "/libHexEdit.so", error);
         if (!ctx.state.hexViewLibrary) return QStringList{"no hex view module"};
         QStringList wrong;
         {
           MainWindowSession session(ctx);
           session.initialise();
           // Every part: the option boxes take their captions from it.
           auto* parts = qobject_cast<QComboBox*>(session.window().control(mainid::kPart));
           for (int i = 0; parts && i < parts->count(); ++i) {
             parts->setCurrentIndex(i);
             emit parts->activated(i);
             for (const QString& w : check(session.window(), "main_window"))
               wrong << parts->itemText(i) + ": " + w;
           }
         }
         modules.unload(ctx.state.hexViewLibrary);
         return wrong;
       }},
  };
}

TEST(DialogFit, EveryTextOfEveryDialogFits) {
  application();
  for (const DialogToCheck& d : dialogsToCheck()) {
    const QStringList wrong = d.run();
    EXPECT_TRUE(wrong.isEmpty()) << d.name << ":\n  " << wrong.join("\n  ").toStdString();
  }
}

}  // namespace
}  // namespace lw
