#pragma once
// The two ways the adapter operations' own texts reach the user.
#include <cstdint>
#include <string>

#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/message_box_port.h"

namespace lw {

struct AppContext;

// A box owned by the main dialog with the "Error !" caption of the Language
// table, the error icon and a text of the program's own.
void errorBoxWithText(AppContext& app, const std::string& text);

// A plain "Error occured !" box with an OK button and no icon, its text one
// of the adapter-status texts (textkey::kStatus...).
void adapterErrorBox(AppContext& app, uint16_t textKey, BoxOwner owner);

}  // namespace lw
