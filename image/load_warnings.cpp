#include "image/load_warnings.h"

#include "core/codes.h"
#include "core/context/app_context.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"
#include "core/text.h"
#include "image/elf_image.h"

namespace lw {

namespace {

uint16_t refusalTextKey(ElfRefusal why) {
  switch (why) {
    case ElfRefusal::NotElf:
      return textkey::kNotAnElfFile;
    case ElfRefusal::Not32Bit:
      return textkey::kElfNot32Bit;
    case ElfRefusal::NotLittleEndian:
      return textkey::kElfBigEndian;
    case ElfRefusal::NotArm:
      return textkey::kElfNotArm;
    case ElfRefusal::NotExecutable:
      return textkey::kElfNotExecutable;
    case ElfRefusal::Damaged:
      return textkey::kElfDamaged;
    case ElfRefusal::NoLoadableBytes:
    case ElfRefusal::None:
      break;
  }
  return textkey::kElfNoFlashBytes;
}

// "\n0x20000000 (4 bytes)" for each segment, in the language in use.
std::string segmentList(const AppContext& ctx, const ElfImage& elf) {
  const std::string line = languageTextOf(ctx, textkey::kLeftOutSegment);
  std::string list;
  for (const ElfSegment& s : elf.leftOut)
    list += "\n" + fillIn(line, {format("%08X", s.loadAddress), std::to_string(s.size)});
  return list;
}

}  // namespace

bool confirmPartialLoad(AppContext& ctx, const std::string& reason, std::size_t line, const std::string& path) {
  // Taking part of a damaged file without a word would program an
  // incomplete image.
  ctx.ports.messages->beep(mb::kIconQuestion);
  const std::string message =
      reason + "\n\n" + fillIn(languageTextOf(ctx, textkey::kLineOfFile), {std::to_string(line), path});
  const int answer = showBox(ctx, message, languageTextOf(ctx, textkey::kWarning),
                             mb::kOkCancel | mb::kIconWarning | mb::kDefaultButton2);
  return answer == kIdOk;
}

bool acceptElfImage(AppContext& ctx, const ElfImage& elf) {
  if (elf.refusal != ElfRefusal::None) {
    showBox(ctx, languageTextOf(ctx, refusalTextKey(elf.refusal)) + segmentList(ctx, elf),
            languageTextOf(ctx, textkey::kError), mb::kIconError);
    return false;
  }
  if (!elf.leftOut.empty()) {
    showBox(ctx, languageTextOf(ctx, textkey::kElfSegmentsLeftOut) + segmentList(ctx, elf),
            languageTextOf(ctx, textkey::kWarning), mb::kIconWarning);
  }
  return true;
}

}  // namespace lw
