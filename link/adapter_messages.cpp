#include "link/adapter_messages.h"

#include "app/app_context.h"
#include "core/codes.h"
#include "resources/language.h"

namespace lw {

std::string languageTextOf(const AppContext& app, uint16_t key) {
  if (!app.resources) return {};
  return languageText(*app.resources, app.state.languageIndex, key).value_or(std::string());
}

void messageByKeys(AppContext& app, uint16_t captionKey, uint16_t textKey, unsigned style) {
  if (!app.ports.messages) return;
  app.ports.messages->show(languageTextOf(app, textKey), languageTextOf(app, captionKey), mb::kOk | style,
                           BoxOwner::MainWindow);
}

void errorBoxWithText(AppContext& app, const std::string& text) {
  if (!app.ports.messages) return;
  app.ports.messages->show(text, languageTextOf(app, textkey::kError), mb::kOk | mb::kIconError,
                           BoxOwner::MainWindow);
}

void adapterErrorBox(AppContext& app, const std::string& text, BoxOwner owner) {
  if (!app.ports.messages) return;
  app.ports.messages->show(text, kAdapterErrorCaption, mb::kOk, owner);
}

}  // namespace lw
