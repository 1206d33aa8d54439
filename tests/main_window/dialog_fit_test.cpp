// Every dialog of the program, shown offscreen with the fonts this machine
// has, in each language: every caption, label and prompt fits its control
// and lies inside the dialog, and no control covers another's text. The
// Chinese walk runs once for each CJK face the package recommends that is
// installed. A new dialog joins by one entry in dialogsToCheck(); the
// pictures land in the build directory, named by dialog, language and face.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QTest>
#include <functional>
#include <memory>

#include "core/context/messages.h"
#include "core/ids/main_dialog_ids.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/recording_message_boxes.h"
#include "platform/posix/posix_modules.h"
#include "platform/qt/about_dialog.h"
#include "platform/qt/caption_fit.h"
#include "platform/qt/code_file_dialog_views.h"
#include "platform/qt/main_window_runner.h"
#include "platform/qt/offline_dialog_view.h"
#include "platform/qt/qt_firmware_prompt.h"
#include "platform/qt/qt_form_list_dialog.h"
#include "platform/qt/qt_language.h"
#include "platform/qt/qt_main_window.h"
#include "resources/embedded_resources.h"
#include "ui/dialogs/area_dialog.h"
#include "ui/dialogs/kpj_dialog.h"
#include "ui/dialogs/offline_dialog.h"
#include "ui/main/main_dialog.h"
#include "tests/qt_test_application.h"

namespace lw {
namespace {

QApplication& application() { return test::testApplication("dialog_fit_test"); }

// Shows the dialog, saves its picture and returns what does not fit.
QStringList check(QWidget& dialog, const QString& picture) {
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) return {"not shown"};
  QCoreApplication::processEvents();
  dialog.grab().save(QStringLiteral(LW_BINARY_DIR "/") + picture + ".png");
  return captionsThatDoNotFit(dialog);
}

class NoFormOutput final : public FormOutputPort {
 public:
  PrintResult print(const std::u16string&) override { return {}; }
  PictureResult savePicture(const std::u16string&, const std::string&) override { return {}; }
  void openInViewer(const std::string&) override {}
};

struct DialogToCheck {
  const char* name;
  std::function<QStringList(const QString& picture)> run;
};

// The dialogs in one language; the picture names carry the language.
std::vector<DialogToCheck> dialogsToCheck(uint16_t languageIndex) {
  auto inLanguage = [languageIndex](AppContext& ctx) {
    ctx.resources = &embeddedResources();
    ctx.state.languageIndex = languageIndex;
  };
  return {
      {"area_dialog",
       [=](const QString& picture) {
         AreaDialog logic(embeddedResources(), languageIndex, 0xEC00);
         QtAreaDialogView view(nullptr, logic);
         return check(view, picture);
       }},
      {"kpj_dialog",
       [=](const QString& picture) {
         KpjDialog logic(embeddedResources(), languageIndex);
         QtKpjDialogView view(nullptr, logic);
         return check(view, picture);
       }},
      {"offline_dialog",
       [=](const QString& picture) {
         AppContext ctx;
         inLanguage(ctx);
         RecordingMessageBoxes messages;
         ctx.ports.messages = &messages;
         OfflineSettings settings;
         OfflineDialog logic(ctx, settings, 0xFFF0);
         QtOfflineDialogView view(nullptr, logic);
         return check(view, picture);
       }},
      {"form_list_dialog",
       [=](const QString& picture) {
         AppContext ctx;
         inLanguage(ctx);
         NoFormOutput output;
         FormListDialog logic(ctx, output, {});
         QtFormListDialogView view(nullptr, logic);
         return check(view, picture);
       }},
      {"firmware_prompt",
       [=](const QString& picture) {
         AppContext ctx;
         inLanguage(ctx);
         PromptAnimation animation;
         FirmwarePromptServices services;
         services.text = [&ctx](uint16_t key) { return languageTextOf(ctx, key); };
         QtFirmwarePromptView view(nullptr, 0, services, animation);
         return check(view, picture);
       }},
      {"main_window",
       [=](const QString& picture) {
         MemorySettings settings;
         RecordingMessageBoxes messages;
         PosixModules modules;
         AppContext ctx;
         inLanguage(ctx);
         ctx.state.languageIndex = language::kEnglish;
         ctx.ports.messages = &messages;
         ctx.ports.settings = &settings;
         ctx.ports.modules = &modules;
         uint32_t error = 0;
         ctx.state.hexViewLibrary = modules.load(std::string(LW_BIN_DIR) + "/libHexEdit.so", error);
         if (!ctx.state.hexViewLibrary) return QStringList{"no hex view module"};
         QStringList wrong;
         {
           // Opened in English and switched as the window menu does, so
           // that the captions are fitted again after the change.
           MainWindowSession session(ctx);
           session.initialise();
           if (languageIndex != language::kEnglish && !session.logic().chooseLanguage(languageIndex))
             wrong << "the language was refused";
           // Every part: the option boxes take their captions from it.
           auto* parts = qobject_cast<QComboBox*>(session.window().control(mainid::kPart));
           for (int i = 0; parts && i < parts->count(); ++i) {
             parts->setCurrentIndex(i);
             emit parts->activated(i);
             for (const QString& w : check(session.window(), picture)) wrong << parts->itemText(i) + ": " + w;
           }
           AboutDialog about(&session.window(), QIcon(), session.logic().aboutTitle(), session.logic().aboutText());
           for (const QString& w : check(about, picture + "_about")) wrong << "about: " + w;
         }
         modules.unload(ctx.state.hexViewLibrary);
         return wrong;
       }},
  };
}

void expectEveryDialogFits(uint16_t languageIndex, const QString& suffix) {
  for (const DialogToCheck& d : dialogsToCheck(languageIndex)) {
    const QStringList wrong = d.run(QString::fromLatin1(d.name) + suffix);
    EXPECT_TRUE(wrong.isEmpty()) << d.name << suffix.toStdString() << ":\n  " << wrong.join("\n  ").toStdString();
  }
}

TEST(DialogFit, EveryTextOfEveryDialogFitsInEnglish) {
  application();
  expectEveryDialogFits(language::kEnglish, QString());
}

TEST(DialogFit, EveryTextOfEveryDialogFitsInChineseWithEachRecommendedFace) {
  application();
  const QStringList recommended = dialogCjkFamilies();
  int walked = 0;
  for (const QString& face : recommended) {
    if (!QFontDatabase::hasFamily(face)) continue;
    setDialogCjkFamilies({face});
    expectEveryDialogFits(language::kSimplifiedChinese, "_zh_" + QString(face).replace(' ', '_'));
    ++walked;
  }
  setDialogCjkFamilies(recommended);
  EXPECT_GT(walked, 0) << "none of the CJK faces the package recommends is installed: "
                       << recommended.join(", ").toStdString();
}

}  // namespace
}  // namespace lw
