#pragma once

#include <QImage>
#include <QSize>

#include "cards/cardstate.h"

// The card's frame, rendered once per card size, state and pixel ratio and
// kept for the program's life (a handful of sizes at most), so repainting a
// card costs a blit instead of a blur. Each image reaches past the card by
// the same margin on every side: draw it with its top-left that far above
// and left of the card. Main thread only.
namespace CardChrome {

// Shadow, thin material and faint white rim (brighter when hovered); the
// shadow is deeper when selected.
const QImage &body(const QSize &card, const CardState &state, qreal devicePixelRatio);
// The selection ring (accent gradient, 2.5 wide) with its accent glow.
const QImage &selectionRing(const QSize &card, qreal devicePixelRatio);

} // namespace CardChrome
