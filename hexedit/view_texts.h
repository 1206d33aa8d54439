#pragma once
// The hex view's own texts (its context menu and the Go to Address
// prompt) in the languages its owner may ask for with hexmsg::kLanguage.
// The module is a component of its own and carries them itself.
#include <cstdint>

namespace lw::hexedit {

enum class ViewText { Copy, Paste, Undo, Redo, SelectAll, GoToAddressMenu, GoToAddress, AddressPrompt, NotAnAddress };

// Language indexes the view knows; any other gets English.
inline constexpr uint16_t kLastViewLanguage = 1;

// UTF-8; NotAnAddress holds %1 (the text typed) and %2 (the last address).
const char* viewText(ViewText text, uint16_t languageIndex);

}  // namespace lw::hexedit
