#pragma once
// The main window's controls, declared in an in-memory dialog from the
// window's own layout table, so the main dialog logic can run without a
// display (tests and the command-line tool).
#include "platform/memory/memory_dialog.h"

namespace lw {

void declareMainDialogControls(MemoryDialog& dialog);

}  // namespace lw
