#pragma once
// The controls of the program's dialogs declared in an in-memory dialog, so
// their logic can run without a display (tests and the command-line tool).
// The main window's come from its own layout table.
#include "platform/memory/memory_dialog.h"

namespace lw {

void declareMainDialogControls(MemoryDialog& dialog);

// The "Select AP/IAP area" dialog's controls.
void declareAreaDialogControls(MemoryDialog& dialog);

// The Off-line mode dialog's controls.
void declareOfflineDialogControls(MemoryDialog& dialog);

}  // namespace lw
