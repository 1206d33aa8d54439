#pragma once
// Message boxes whose texts come from the Language table in use. A missing
// text shows no box: the call then returns 0.
#include <cstdint>
#include <string>

#include "core/ports/message_box_port.h"

namespace lw {

struct AppContext;

// Shows a box through the message-box port and counts it in
// AppState::messageBoxesShown (Auto Reload Code asks whether a load spoke).
// Returns the answer, or 0 when there is no port.
int showBox(AppContext& ctx, const std::string& text, const std::string& caption, unsigned style,
            BoxOwner owner = BoxOwner::MainWindow);

// The Language table text of key, or "" when the table has none.
std::string languageTextOf(const AppContext& ctx, uint16_t key);

// Why a file could not be written, in the language in use: the text of the
// error number where the Language table has one, else systemText (the
// system's own).
std::string fileErrorTextOf(const AppContext& ctx, int errnoValue, const std::string& systemText);

// A box with caption and text by key; style holds the buttons and icon.
// Returns the answer, or 0 when either text is missing.
int messageByKeys(AppContext& ctx, uint16_t captionKey, uint16_t textKey, unsigned style,
                  BoxOwner owner = BoxOwner::MainWindow);

// The application's own box: a Language table text under the program's name.
int applicationBox(AppContext& ctx, uint16_t textKey, unsigned style);

}  // namespace lw
