#pragma once
// The progress bar painted over the status line: a filled part for the work
// done, the rest in the button face, and "Completed ...40%" drawn in white
// over the done part and in dark blue over the rest.
#include <string_view>

#include "core/ports/progress_paint_port.h"

namespace lw {

inline constexpr int kProgressTextX = 147;
inline constexpr int kProgressTextY = 5;
inline constexpr PaintColour kProgressDoneTextColour{0xFF, 0xFF, 0xFF};
inline constexpr PaintColour kProgressRestTextColour{0x0A, 0x34, 0x6A};

// The picture for a value: 0..100 percent done; a negative value removes
// the bar (only the button-face fill remains). Values above 100 are drawn
// as 100 so the bar never runs past the field.
ProgressPaint progressPaint(const PaintRect& client, int value, std::string_view completedWord);

}  // namespace lw
