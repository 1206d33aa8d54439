#include "image/code_loader.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "core/codes.h"
#include "core/context/app_context.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"
#include "core/text.h"
#include "image/code_buffer_access.h"
#include "image/code_file_host.h"
#include "image/code_file_kind.h"
#include "image/elf_image.h"
#include "image/intel_hex.h"
#include "image/load_warnings.h"
#include "image/project_reader.h"
#include "image/srecord.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"

namespace lw {

namespace fs = std::filesystem;

namespace {

// The file's bytes; nothing when they cannot be read or do not fit in
// memory (a file of many gigabytes named .hex or .kpj).
std::optional<std::vector<uint8_t>> readBytes(std::ifstream& in, uintmax_t count) {
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(count));
  } catch (const std::exception&) {
    return std::nullopt;
  }
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  if (static_cast<uintmax_t>(in.gcount()) != count) return std::nullopt;
  return bytes;
}

// The merge of an image placed at the offset into the current buffer.
void placeImage(CodeFileHost& host, const std::string& path, const std::vector<uint8_t>& image, uint32_t offset,
                bool clearBuffer) {
  HexViewPort& view = host.hexView();
  const uint32_t current = clearBuffer ? 0 : codeBufferLength(view);
  const std::size_t end = std::max<std::size_t>(current, offset + image.size());
  if (end == 0) return;
  std::vector<uint8_t> merged(end, 0xFF);
  if (current > 0) {
    const std::vector<uint8_t> old = fetchCodeBuffer(view, current);
    std::copy(old.begin(), old.end(), merged.begin());
  }
  std::copy(image.begin(), image.end(), merged.begin() + offset);
  showLoadedImage(host, path, merged);
}

// The image of a HEX or S-record file whose whole text is in `file`, with at
// most `room` bytes kept; nothing when the user declined a partial load.
std::optional<ParsedImage> parseTextFile(AppContext& ctx, CodeFileKind kind, const std::vector<uint8_t>& file,
                                         uint64_t room, const std::string& path) {
  const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
  const bool hex = kind == CodeFileKind::IntelHex;
  ParsedImage image = hex ? parseIntelHex(text, room) : parseSRecord(text, room);
  if (image.dataLeftUnread) {
    const std::string reason =
        languageTextOf(ctx, hex ? textkey::kHexDataNotRead : textkey::kSRecordDataNotRead);
    if (!confirmPartialLoad(ctx, reason, image.stopLine, path)) return std::nullopt;
  }
  return image;
}

}  // namespace

int loadCodeFile(CodeFileHost& host, const std::string& path, bool interactive) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return kNothingLoaded;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kNothingLoaded;
  const uintmax_t fileSize = fs::file_size(path, ec);
  if (ec) return kNothingLoaded;
  if (fileSize == 0) return kLoaded;

  // Every kind but raw bytes is read whole before it is parsed.
  const CodeFileKind kind = codeFileKindOf(path);
  std::vector<uint8_t> file;
  if (kind != CodeFileKind::Raw) {
    auto bytes = readBytes(in, fileSize);
    if (!bytes) return kNothingLoaded;
    file = std::move(*bytes);
  }
  if (kind == CodeFileKind::Project) return readProjectFile(host, path, file);

  AppContext& ctx = host.context();
  const ResourceSource& res = *ctx.resources;
  PartRecord& part = ctx.state.part;
  CodeFileState& state = host.codeFiles();
  const uint32_t limit = fileSizeLimit(res, part.partIndex);

  // An ELF file is judged before the area is asked for: a file that cannot
  // be loaded is refused at once.
  std::optional<ElfImage> elf;
  if (kind == CodeFileKind::Elf) {
    elf = parseElfImage(file, limit, limit);
    if (!acceptElfImage(ctx, *elf)) return kNothingLoaded;
  }

  bool clearBuffer = false;
  if (interactive) {
    const uint32_t proposed = numberByKey(res, kPartTableBase + part.partIndex, partkey::kIapAddress);
    const std::optional<LoadArea> area = host.askLoadArea(proposed);
    if (!area) return kNothingLoaded;
    clearBuffer = area->clearBuffer;
    state.loadOffset = area->iapChosen ? area->address : 0;
  }

  if (state.loadOffset >= limit) {
    // Nothing of the file could be placed below the end of the flash.
    const std::string message =
        languageTextOf(ctx, textkey::kOffsetBeyondFlash) + "\n\n" +
        fillIn(languageTextOf(ctx, textkey::kLoadAddressBeyondFlash),
               {format("%X", state.loadOffset), format("%X", limit)});
    showBox(ctx, message, languageTextOf(ctx, textkey::kError), mb::kIconError);
    return kNothingLoaded;
  }

  // Only what fits below the limit is ever kept.
  const uint64_t room = limit - state.loadOffset;
  ParsedImage image;
  if (kind == CodeFileKind::Raw) {
    auto bytes = readBytes(in, std::min<uintmax_t>(fileSize, room));
    if (!bytes) return kNothingLoaded;
    image.bytes = std::move(*bytes);
    image.length = fileSize;
  } else if (kind == CodeFileKind::Elf) {
    // Parsed against the whole flash; cut to the room at the load offset.
    image = std::move(elf->image);
    finishImage(image, room);
  } else {
    std::optional<ParsedImage> parsed = parseTextFile(ctx, kind, file, room, path);
    if (!parsed) return kLoadCancelled;
    image = std::move(*parsed);
  }

  if (state.loadOffset + image.length > limit) {
    ctx.ports.messages->beep(mb::kIconQuestion);
    const int answer = messageByKeys(ctx, textkey::kWarning, textkey::kFileTooLarge,
                                     mb::kOkCancel | mb::kIconWarning | mb::kDefaultButton2);
    if (answer != kIdOk) return kLoadCancelled;
    // The image already holds exactly the part below the limit.
  }

  std::string name = utf8ToCodePage(fs::path(path).filename().string());
  if (name.size() > kMaxStoredNameLength) name.resize(kMaxStoredNameLength);
  state.project.codeFileName = name;

  placeImage(host, path, image.bytes, state.loadOffset, clearBuffer);
  return kLoaded;
}

}  // namespace lw
