#include "core/context/messages.h"

#include <cerrno>

#include "core/context/app_context.h"
#include "core/ids/language_keys.h"
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

std::string fileErrorTextOf(const AppContext& ctx, int errnoValue, const std::string& systemText) {
  struct Reason {
    int errnoValue;
    uint16_t key;
  };
  static constexpr Reason kReasons[] = {
      {EACCES, textkey::kPermissionDenied},
      {EPERM, textkey::kOperationNotPermitted},
      {ENOENT, textkey::kNoSuchFileOrDirectory},
      {ENOTDIR, textkey::kNotADirectory},
      {EISDIR, textkey::kIsADirectory},
      {EROFS, textkey::kReadOnlyFileSystem},
      {ENOSPC, textkey::kNoSpaceLeft},
      {EDQUOT, textkey::kDiskQuotaExceeded},
      {ENAMETOOLONG, textkey::kFileNameTooLong},
      {EIO, textkey::kInputOutputError},
      {EFBIG, textkey::kFileTooLargeError},
  };
  for (const Reason& r : kReasons) {
    if (r.errnoValue != errnoValue) continue;
    const std::string text = languageTextOf(ctx, r.key);
    return text.empty() ? systemText : text;
  }
  return systemText;
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
