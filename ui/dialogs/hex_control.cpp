#include "ui/dialogs/hex_control.h"

#include "core/ports/dialog_port.h"
#include "resources/hex_entry.h"

namespace lw {

uint32_t readHexControl(const DialogPort& dialog, int id) { return hexRead(dialog.text(id)); }

void writeHexControl(DialogPort& dialog, int id, uint32_t value, int width) {
  dialog.setText(id, hexFormat(value, width));
}

}  // namespace lw
