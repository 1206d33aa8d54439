#include "app/startup.h"

#include "core/ids/language_keys.h"
#include "app/command_line.h"
#include "app/link_library_finder.h"
#include "core/context/settings_keys.h"
#include "core/codes.h"
#include "core/context/messages.h"
#include "core/text.h"
#include "core/ports/instance_guard_port.h"
#include "core/ports/message_box_port.h"
#include "core/ports/module_port.h"
#include "core/ports/update_check_port.h"
#include "resources/languages.h"

namespace lw {

namespace {

std::string directoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileStem(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  const auto dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Loads a module from the program's directory first, then through the
// system's ordinary search.
ModuleHandle loadBesideProgram(AppContext& ctx, const std::string& dir, const std::string& name, uint32_t& error) {
  if (ModuleHandle h = ctx.ports.modules->load(dir + "/" + name, error)) return h;
  return ctx.ports.modules->load(name, error);
}

// Finds, checks and loads the Link library; sets error (and returns false)
// when it could not be loaded.
bool loadLinkLibrary(AppContext& ctx, const std::string& dir, const std::string& ceiling, uint32_t& error) {
  std::string path = dir + "/" + linkLibraryFileName();
  if (ctx.ports.debugOutput) ctx.ports.debugOutput(path);
  uint32_t result = checkLinkLibraryVersion(path);
  if (result == err::kFileNotFound) {
    if (auto found = locateLinkLibrary(dir, linkLibraryFileName(), {}, ceiling)) {
      path = *found;
      result = checkLinkLibraryVersion(path);
    }
  }
  error = result;
  if (result != err::kSuccess) return false;
  ctx.state.linkLibrary = ctx.ports.modules->load(path, error);
  if (!ctx.state.linkLibrary) return false;
  ctx.state.linkLibraryPath = path;
  return true;
}

void plainBox(AppContext& ctx, const std::string& text, const std::string& caption, unsigned style) {
  ctx.ports.messages->show(text, caption, style);
}

}  // namespace

void showSystemErrorBox(AppContext& ctx, uint32_t code) {
  plainBox(ctx, languageTextOf(ctx, systemErrorTextKey(code)),
           fillIn(languageTextOf(ctx, textkey::kErrorCodeCaption), {format("%08X", code)}), mb::kIconError);
}

int runProgram(AppContext& ctx, const StartupInput& input, const std::function<void(AppContext&)>& runMainWindow) {
  AppState& st = ctx.state;
  // The language first, so that every box of start-up speaks it: --language
  // for this run, else the choice stored by the window menu, else English.
  const CommandLine cl = parseCommandLine(input.arguments);
  const std::optional<int32_t> stored = settings::language(*ctx.ports.settings);
  st.languageIndex = usableLanguage(*ctx.resources, cl.language ? *cl.language : stored.value_or(language::kEnglish));
  if (ctx.ports.platformLanguage) ctx.ports.platformLanguage(st.languageIndex);
  st.programPath = input.programPath;
  st.applicationName = fileStem(input.programPath);
  const std::string dir = directoryOf(input.programPath);

  uint32_t error = 0;
  st.hexViewLibrary = loadBesideProgram(ctx, dir.empty() ? "." : dir, hexViewLibraryFileName(), error);
  if (!st.hexViewLibrary) {
    showSystemErrorBox(ctx, error);
    return 1;
  }
  if (dir.empty()) {
    showSystemErrorBox(ctx, err::kInvalidName);
    exitProgram(ctx);
    return 1;
  }

  if (!loadLinkLibrary(ctx, dir, input.locatorCeiling, error)) {
    if (error == kLinkVersionTooOld) {
      plainBox(ctx, languageTextOf(ctx, textkey::kLinkTooOld), languageTextOf(ctx, textkey::kError), mb::kIconError);
    } else {
      showSystemErrorBox(ctx, error);
    }
    exitProgram(ctx);
    return 1;
  }

  if (!ctx.ports.instanceGuard->acquire(kInstanceGuardName)) {
    plainBox(ctx, languageTextOf(ctx, textkey::kAnotherInstance), languageTextOf(ctx, textkey::kAnotherInstanceCaption),
             mb::kIconError);
    exitProgram(ctx);
    return 1;
  }

  const int32_t checkVersion = settings::checkVersion(*ctx.ports.settings);
  if (checkVersion != 0) {
    if (checkVersion == 2) settings::setCheckVersion(*ctx.ports.settings, 1);
    if (ctx.ports.updateCheck) ctx.ports.updateCheck->run(1);
  }

  if (utf16Length(input.programPath) >= kPathUnits) {
    plainBox(ctx, languageTextOf(ctx, textkey::kProgramPathTooLong), "", mb::kOk);
    exitProgram(ctx);
    return 1;
  }

  if (cl.pathTooLong) {
    plainBox(ctx, languageTextOf(ctx, textkey::kFilePathTooLong), "", mb::kOk);
    exitProgram(ctx);
    return 1;
  }
  st.commandLinePartName = cl.partName;
  st.commandLineFilePath = cl.filePath;
  if (cl.firmwareUpdate) st.startupFirmwareUpdateFlag = 1;

  runMainWindow(ctx);
  exitProgram(ctx);
  return 0;
}

void exitProgram(AppContext& ctx) {
  AppState& st = ctx.state;
  if (st.hexViewLibrary) {
    ctx.ports.modules->unload(st.hexViewLibrary);
    st.hexViewLibrary = nullptr;
  }
  if (ctx.ports.instanceGuard) ctx.ports.instanceGuard->release();
  if (st.linkLibrary) {
    ctx.ports.modules->unload(st.linkLibrary);
    st.linkLibrary = nullptr;
  }
}

}  // namespace lw
