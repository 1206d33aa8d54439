#pragma once
// "Update Programmer": stores the Code buffer, the option bytes and the
// off-line settings in the adapter, so that it can program targets on its
// own, then reads the code back from the adapter and compares it.
namespace lw {

struct ProgrammingContext;

// busy is the flag shared with "Update Target": when it is set the
// operation does nothing; it is set while the operation runs and cleared on
// every way out. Like the window it serves, it leaves the adapter open when
// the dialog is cancelled or the Code buffer is empty; the next operation's
// connect replaces that handle.
void updateProgrammer(ProgrammingContext& ctx, bool& busy);

}  // namespace lw
