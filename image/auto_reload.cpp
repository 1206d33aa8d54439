#include "image/auto_reload.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/context/app_context.h"
#include "core/ids/main_dialog_ids.h"
#include "core/ports/dialog_port.h"
#include "image/code_file_host.h"
#include "image/code_loader.h"

namespace lw {

namespace fs = std::filesystem;

namespace {

struct FileStamp {
  uintmax_t size;
  int64_t modified;
};

std::optional<FileStamp> stampOf(const std::string& path) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  const auto modified = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  return FileStamp{size, static_cast<int64_t>(modified.time_since_epoch().count())};
}

}  // namespace

void autoReloadOnActivation(CodeFileHost& host) {
  if (!host.dialog().isChecked(mainid::kAutoReload)) return;
  CodeFileState& state = host.codeFiles();
  AutoReloadGuard& guard = state.autoReload;
  if (guard.running || state.lastLoadedPath.empty()) return;
  const std::string path = state.lastLoadedPath;
  const std::optional<FileStamp> stamp = stampOf(path);
  if (guard.held && stamp && stamp->size == guard.heldSize && stamp->modified == guard.heldModified) return;
  guard.held = false;

  const uint64_t boxesBefore = host.context().state.messageBoxesShown;
  guard.running = true;
  loadCodeFile(host, path, false);
  guard.running = false;

  if (host.context().state.messageBoxesShown != boxesBefore && stamp) {
    guard.held = true;
    guard.heldSize = stamp->size;
    guard.heldModified = stamp->modified;
  }
}

}  // namespace lw
