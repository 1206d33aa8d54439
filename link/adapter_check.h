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

// The prompt mode for an adapter found in firmware-update mode: its Cancel
// closes only the prompt.
inline constexpr int kStrandedPromptMode = 2;

// An adapter left in firmware-update mode (product id 0x030B, after a
// download that failed) answers no normal request and is otherwise only
// ever "not there". When one is on the bus this offers the download again
// through the firmware-update prompt (the update worker finds it already
// in that mode) and returns true; else false. Leaves no device open.
bool offerUpdateModeAdapter(ProgrammingContext& ctx);

}  // namespace lw
