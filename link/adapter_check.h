#pragma once
// The adapter firmware check, run before every programming run, when an
// adapter arrives and by the start-up probe.
namespace lw {

struct ProgrammingContext;

// Mode 0: asks the Link library whether the open adapter's firmware
// matches. Returns 1 when the adapter is ready; on a mismatch shows the
// firmware-update prompt and returns 0; a failed check returns 0 silently.
// An adapter that cannot store a code image disables "Update Programmer".
// Any other mode is the forced check: opens the adapter that needs new
// firmware (product id 0x0FFF, else 0x0331) and shows the prompt with that
// mode; returns 0.
int checkAdapter(ProgrammingContext& ctx, int mode);

}  // namespace lw
