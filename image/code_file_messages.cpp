#include "image/code_file_messages.h"

#include "app/app_context.h"
#include "platform/ports/message_box_port.h"
#include "resources/language.h"

namespace lw::codefiles {

std::string text(const AppContext& ctx, uint16_t key) {
  return languageText(*ctx.resources, ctx.state.languageIndex, key).value_or("");
}

int boxByKeys(AppContext& ctx, uint16_t captionKey, uint16_t textKey, unsigned style) {
  return ctx.ports.messages->show(text(ctx, textKey), text(ctx, captionKey), style);
}

int applicationBox(AppContext& ctx, uint16_t textKey, unsigned style) {
  return ctx.ports.messages->show(text(ctx, textKey), ctx.state.applicationName, style);
}

}  // namespace lw::codefiles
