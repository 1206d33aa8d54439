#pragma once
// Start-up and exit of the program: the hex-view module, the Link library
// (found, version-checked and loaded), the single-instance guard, the
// start-up update check and the command line, then the main window.
#include <functional>
#include <string>
#include <vector>

#include "core/context/app_context.h"

namespace lw {

inline constexpr char kInstanceGuardName[] = "Vantrel Loomwrite Programmer with Tether";

struct StartupInput {
  std::string programPath;            // full path of the running program
  std::vector<std::string> arguments; // the arguments after the program itself
  std::string locatorCeiling;         // when set, the Link library search goes no further out
};

// Runs start-up in order and, when everything is in place, calls runMainWindow
// (which returns when the main window closes). Returns the process exit code:
// 0 after the main window closed, 1 when start-up ended early.
int runProgram(AppContext& ctx, const StartupInput& input, const std::function<void(AppContext&)>& runMainWindow);

// Frees what start-up acquired: both modules and the instance guard.
void exitProgram(AppContext& ctx);

// The system error box: the system's text for the code, caption
// "Error Code = 0x%08X", error icon.
void showSystemErrorBox(AppContext& ctx, uint32_t code);

}  // namespace lw
