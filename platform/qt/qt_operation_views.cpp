#include "platform/qt/qt_operation_views.h"

#include <QWidget>

#include "platform/qt/code_file_dialog_views.h"
#include "platform/qt/offline_dialog_view.h"
#include "platform/qt/qt_firmware_prompt.h"
#include "platform/qt/qt_form_list_dialog.h"
#include "resources/language.h"

namespace lw {

OperationViews qtOperationViews(QWidget* parent, AppContext& ctx) {
  OperationViews views;
  views.askLoadArea = [parent, &ctx](uint32_t proposed) {
    return askLoadAreaQt(parent, *ctx.resources, ctx.state.languageIndex, proposed);
  };
  views.askRequestAddressing = [parent, &ctx] {
    return askRequestAddressingQt(parent, *ctx.resources, ctx.state.languageIndex);
  };
  views.showFirmwarePrompt = [parent, &ctx](int mode, OperationViews::StartUpdate startUpdate) {
    FirmwarePromptServices services;
    services.text = [&ctx](uint16_t key) {
      return languageText(*ctx.resources, ctx.state.languageIndex, key).value_or("");
    };
    services.startUpdate = std::move(startUpdate);
    // Cancel in mode 1 closes the program: ask the main window to close.
    services.closeMainWindow = [parent] { parent->close(); };
    runFirmwarePrompt(parent, mode, services);
  };
  views.editOfflineSettings = [parent, &ctx](OfflineSettings& settings, uint32_t highestStartAddress) {
    return editOfflineSettingsQt(parent, ctx, settings, highestStartAddress);
  };
  views.showFormList = [parent, &ctx](const std::u16string& form, OperationViews::FormRenderer render) {
    runFormListDialog(parent, ctx, form, std::move(render));
  };
  return views;
}

}  // namespace lw
