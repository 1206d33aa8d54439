#pragma once
// "Auto Reload Code": reloading the last loaded file whenever the main
// window is activated, without looping on the boxes the reload shows.

namespace lw {

class CodeFileHost;

// The main window was activated: with "Auto Reload Code" checked, reloads
// the last loaded file without asking for the area. A reload that showed a
// box is not repeated until the file changes on disk.
void autoReloadOnActivation(CodeFileHost& host);

}  // namespace lw
