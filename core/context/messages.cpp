#include "core/context/messages.h"

#include "core/context/app_context.h"
#include "resources/language.h"

namespace lw {

int showBox(AppContext& ctx, const std::string& text, const std::string& caption, unsigned style, BoxOwner owner) {
  if (!ctx.ports.messages) return 0;
  ++ctx.state.messageBoxesShown;
  return ctx.ports.messages->show(text, caption, style, owner);
}

std::string languageTextOf(const AppContext& ctx, uint16_t key) {
  if (!ctx.resources) return {};
  return languageText(*ctx.resources, ctx.state.languageIndex, key).value_or("");
}

int messageByKeys(AppContext& ctx, uint16_t captionKey, uint16_t textKey, unsigned style, BoxOwner owner) {
  if (!ctx.resources) return 0;
  const auto text = languageText(*ctx.resources, ctx.state.languageIndex, textKey);
  const auto caption = languageText(*ctx.resources, ctx.state.languageIndex, captionKey);
  if (!text || !caption) return 0;
  return showBox(ctx, *text, *caption, style, owner);
}

int applicationBox(AppContext& ctx, uint16_t textKey, unsigned style) {
  if (!ctx.resources) return 0;
  const auto text = languageText(*ctx.resources, ctx.state.languageIndex, textKey);
  if (!text) return 0;
  return showBox(ctx, *text, ctx.state.applicationName, style);
}

}  // namespace lw
