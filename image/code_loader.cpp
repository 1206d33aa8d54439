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
#include "core/context/program_texts.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"
#include "core/text.h"
#include "image/code_buffer_access.h"
#include "image/code_file_host.h"
#include "image/intel_hex.h"
#include "image/project_reader.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"

namespace lw {

namespace fs = std::filesystem;

namespace {

// The text from the last '.' of the path on (empty when there is none).
std::string extensionOf(const std::string& path) {
  const auto dot = path.find_last_of('.');
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

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

}  // namespace

int loadCodeFile(CodeFileHost& host, const std::string& path, bool interactive) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return kNothingLoaded;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kNothingLoaded;
  const uintmax_t fileSize = fs::file_size(path, ec);
  if (ec) return kNothingLoaded;
  if (fileSize == 0) return kLoaded;

  const std::string extension = extensionOf(path);
  if (equalsIgnoreCase(extension, ".kpj")) {
    const auto file = readBytes(in, fileSize);
    if (!file) return kNothingLoaded;
    return readProjectFile(host, path, *file);
  }
  const bool isHex = equalsIgnoreCase(extension, ".hex");
  std::optional<std::vector<uint8_t>> hexText;
  if (isHex) {
    hexText = readBytes(in, fileSize);
    if (!hexText) return kNothingLoaded;
  }

  AppContext& ctx = host.context();
  const ResourceSource& res = *ctx.resources;
  PartRecord& part = ctx.state.part;
  CodeFileState& state = host.codeFiles();
  bool clearBuffer = false;
  if (interactive) {
    const uint32_t proposed = numberByKey(res, kPartTableBase + part.partIndex, partkey::kIapAddress);
    const std::optional<LoadArea> area = host.askLoadArea(proposed);
    if (!area) return kNothingLoaded;
    clearBuffer = area->clearBuffer;
    state.loadOffset = area->iapChosen ? area->address : 0;
  }

  const uint32_t limit = fileSizeLimit(res, part.partIndex);
  if (state.loadOffset >= limit) {
    // Nothing of the file could be placed below the end of the flash.
    const std::string message = std::string(programtext::kOffsetBeyondFlash) +
                                format("\n\nLoad address 0x%X, end of flash 0x%X.", state.loadOffset, limit);
    showBox(ctx, message, languageTextOf(ctx, textkey::kError), mb::kIconError);
    return kNothingLoaded;
  }

  // Only what fits below the limit is ever kept.
  const uint64_t room = limit - state.loadOffset;
  HexImage image;
  if (isHex) {
    const std::string_view text(reinterpret_cast<const char*>(hexText->data()), hexText->size());
    image = parseIntelHex(text, room);
    if (image.dataLeftUnread) {
      // Taking part of a damaged file without a word would program an
      // incomplete image.
      ctx.ports.messages->beep(mb::kIconQuestion);
      const std::string message =
          std::string(programtext::kHexDataNotRead) + format("\n\nLine %zu of %s", image.stopLine, path.c_str());
      const int answer = showBox(ctx, message, languageTextOf(ctx, textkey::kWarning),
                                mb::kOkCancel | mb::kIconWarning | mb::kDefaultButton2);
      if (answer != kIdOk) return kLoadCancelled;
    }
  } else {
    auto bytes = readBytes(in, std::min<uintmax_t>(fileSize, room));
    if (!bytes) return kNothingLoaded;
    image.bytes = std::move(*bytes);
    image.length = fileSize;
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
