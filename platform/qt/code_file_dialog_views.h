#pragma once
// Qt views of the "Select AP/IAP area" dialog (146) and the KPJ Dialog (207).
// Each builds the dialog's controls with their ids and positions and hands
// every event to the dialog's logic.
#include <optional>

#include "image/load_area.h"
#include "image/request_addressing.h"
#include "platform/qt/qt_control_dialog.h"

namespace lw {

class AreaDialog;
class KpjDialog;
class ResourceSource;

class QtAreaDialogView : public QtControlDialog {
 public:
  QtAreaDialogView(QWidget* parent, AreaDialog& logic);
};

class QtKpjDialogView : public QtControlDialog {
 public:
  QtKpjDialogView(QWidget* parent, KpjDialog& logic);
};

// Shows the area dialog modally over parent; nothing when cancelled.
std::optional<LoadArea> askLoadAreaQt(QWidget* parent, const ResourceSource& resources, uint16_t languageIndex,
                                      uint32_t proposedAddress);

// Shows the KPJ Dialog modally over parent; nothing when cancelled.
std::optional<RequestAddressing> askRequestAddressingQt(QWidget* parent, const ResourceSource& resources,
                                                       uint16_t languageIndex);

}  // namespace lw
