#pragma once
// The warning sign of the firmware-update prompt, drawn in code: nine
// 41 x 41 frames on a transparent background (0 empty, 1..7 the sign
// appearing from the bottom up, 8 complete), and the complete sign on the
// prompt's amber background (bitmap 188).
#include <QColor>
#include <QImage>
#include <vector>

namespace lw {

inline const QColor kPromptAmber(251, 209, 3);

std::vector<QImage> warningSignFrames();
QImage finishedSignBitmap();

}  // namespace lw
