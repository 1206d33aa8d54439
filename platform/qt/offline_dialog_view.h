#pragma once
// The Qt view of the Off-line mode dialog (168): builds its controls with
// their ids and positions and hands every click and edit to the logic.
#include <cstdint>

#include "platform/qt/qt_control_dialog.h"

namespace lw {

struct AppContext;
struct OfflineSettings;
class OfflineDialog;

class QtOfflineDialogView : public QtControlDialog {
 public:
  QtOfflineDialogView(QWidget* parent, OfflineDialog& logic);
};

// Shows the dialog modally over parent, editing settings as the user types;
// true when it ended with Ok.
bool editOfflineSettingsQt(QWidget* parent, AppContext& ctx, OfflineSettings& settings, uint32_t highestStartAddress);

}  // namespace lw
