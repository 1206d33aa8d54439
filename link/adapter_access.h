#pragma once
// Telling "no adapter" from "an adapter this user may not open": a hidraw
// node of the adapter's vendor without the udev rule exists but refuses to
// open, and the user needs to hear what to install, not that it is absent.
#include "link/link_api.h"

namespace lw {

struct AppContext;

// After ConnectHIDDevice failed with connectResult: whether an adapter of any
// of its four product ids is on the bus but refuses to be opened. Leaves no
// device open.
bool adapterAccessDenied(const LinkApi& link, int connectResult);

// The box for an adapter that could not be opened: the access problem with
// the commands that install the udev rules, else "Tether is not exist !".
// Returns whether it was the access problem.
bool reportAdapterNotOpened(AppContext& app, const LinkApi& link, int connectResult);

}  // namespace lw
