#include "link/adapter_messages.h"

#include "core/context/app_context.h"
#include "core/codes.h"
#include "resources/language.h"

namespace lw {

void errorBoxWithText(AppContext& app, const std::string& text) {
  if (!app.ports.messages) return;
  app.ports.messages->show(text, languageTextOf(app, textkey::kError), mb::kOk | mb::kIconError,
                           BoxOwner::MainWindow);
}

void adapterErrorBox(AppContext& app, uint16_t textKey, BoxOwner owner) {
  if (!app.ports.messages) return;
  app.ports.messages->show(languageTextOf(app, textKey), languageTextOf(app, textkey::kAdapterErrorCaption), mb::kOk,
                           owner);
}

}  // namespace lw
