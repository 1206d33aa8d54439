#pragma once
// Texts that must be read whole. A template's sizes were measured for one
// face and one style; here another face and the toolkit's larger indicators
// and frames take more room, so a caption, label or prompt that does not
// fit its control is given the room it needs, and the dialog grows to hold
// its controls.
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

namespace lw {

// The room a control's text needs, or an empty size for controls without
// text to fit (edits, combo boxes, pictures).
QSize textRoomOf(const QWidget& control);

// Widens (and for several lines heightens) every child whose text does not
// fit: right-aligned labels grow leftwards, others rightwards, and what would
// pass the dialog's right edge is moved back inside. Then grows the dialog
// when a child reaches past its edge. Idempotent.
void growToFitCaptions(QWidget& dialog);

// For tests and checks: "name: text" of every visible child whose text does
// not fit its control or that lies outside the dialog.
QStringList captionsThatDoNotFit(const QWidget& dialog);

}  // namespace lw
