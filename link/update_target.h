#pragma once
// "Update Target": connects the adapter and the target, checks the part,
// erases, writes the Code buffer, reads it back and compares, writes the
// option bytes, releases the target and reports one result.
namespace lw {

struct ProgrammingContext;

// busy is the flag shared with "Update Programmer": when it is set the
// operation does nothing; it is set while the operation runs and cleared on
// every way out.
void updateTarget(ProgrammingContext& ctx, bool& busy);

}  // namespace lw
