#pragma once
// The Qt forms of the dialogs the main window's operations open: the area
// dialog, the KPJ Dialog, the Off-line mode dialog and the firmware-update
// prompt, over a parent.
#include "core/context/app_context.h"
#include "ui/main/main_window_host.h"

class QWidget;

namespace lw {

OperationViews qtOperationViews(QWidget* parent, AppContext& ctx);

}  // namespace lw
