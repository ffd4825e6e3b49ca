#pragma once

// How a strip wants one card drawn besides the clip itself. The pin state is
// not here: it always comes from the clip (ClipboardItem::pinned).
struct CardState
{
    bool selected = false; // the clip's id is in the store's selection: ring, glow, deeper shadow
    bool hovered = false;  // the pointer is over the card: a slightly brighter body
};
