#include "image/load_file_command.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/context/app_context.h"
#include "core/context/messages.h"
#include "core/context/settings_keys.h"
#include "core/ids/language_keys.h"
#include "image/code_file_kind.h"
#include "image/code_file_host.h"
#include "image/code_loader.h"

namespace lw {

namespace fs = std::filesystem;

namespace {

// Where the open dialog starts. A remembered path the system cannot even
// look up as a name is replaced by the home directory.
std::string openDialogStartPath(const std::string& stored) {
  std::error_code ec;
  (void)fs::status(stored, ec);
  if (ec == std::errc::filename_too_long || ec == std::errc::invalid_argument) {
    const char* home = std::getenv("HOME");
    return home ? std::string(home) + "/" : std::string();
  }
  return stored;
}

}  // namespace

std::vector<FileFilter> loadFileFilters(const AppContext& ctx) {
  auto filter = [&](uint16_t nameKey, const std::string& pattern) {
    return namedFileFilter(languageTextOf(ctx, nameKey), pattern);
  };
  return {
      filter(textkey::kAllCodeFiles, loadableFilePatterns()),
      filter(textkey::kSupportFormatFilter, "*.bin;*.hex;*.kpj"),
      filter(textkey::kBinFormatFilter, "*.bin"),
      filter(textkey::kHexFormatFilter, "*.hex"),
      filter(textkey::kProjectFormatFilter, "*.kpj"),
      filter(textkey::kAnyFormatFilter, "*.*"),
  };
}

void loadFileCommand(CodeFileHost& host) {
  AppContext& ctx = host.context();
  const std::string start = openDialogStartPath(settings::loadPath(*ctx.ports.settings));
  const std::optional<std::string> chosen = ctx.ports.files->openFile(start, loadFileFilters(ctx));
  if (!chosen) return;
  settings::setLoadPath(*ctx.ports.settings, *chosen);
  CodeFileState& state = host.codeFiles();
  state.autoReload.held = false;
  // Closing this load's own dialogs activates the window; that must not
  // reload the previous file in the middle of this load.
  state.autoReload.running = true;
  loadCodeFile(host, *chosen, true);
  state.autoReload.running = false;
  state.lastLoadedPath = *chosen;
}

void loadCommandLineFile(CodeFileHost& host) {
  const std::string& path = host.context().state.commandLineFilePath;
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return;
  host.codeFiles().loadOffset = 0;
  loadCodeFile(host, path, false);
}

}  // namespace lw
