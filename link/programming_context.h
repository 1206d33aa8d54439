#pragma once
// Everything an adapter operation reaches: the bound Link library, the HID
// transport on the device it opened, the main dialog's services, the UI
// thread's event loop and the program-wide state and ports (message boxes,
// clock, resources).
#include "core/context/app_context.h"
#include "link/link_api.h"

namespace lw {

class EventLoopPort;
class HidTransportPort;
class AdapterOperationsHost;
struct RunReport;

struct ProgrammingContext {
  LinkApi link;
  HidTransportPort& hid;
  AdapterOperationsHost& host;
  EventLoopPort& loop;
  AppContext& app;
  RunReport* report = nullptr;  // where Update Target and Update Programmer say how far they got
};

}  // namespace lw
