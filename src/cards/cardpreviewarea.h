#pragma once

class QPainter;
class QRectF;
struct ClipboardItem;

// The middle of a card: the clip's content drawn by kind (text or code with
// its highlighting, a colour swatch, a link or unknown panel, the picture, a
// file row with its thumbnail). Main thread only.
namespace CardPreviewArea {

// Draws the preview of `item` into `area`. The result is kept per content,
// size and pixel ratio, since laying out text and scaling pictures are the
// costly parts of a card; a placeholder shown while an image clip's picture
// is decoded on a worker is drawn but not kept. Undecodable pictures draw
// their placeholder; nothing throws.
void draw(QPainter &painter, const QRectF &area, const ClipboardItem &item);

} // namespace CardPreviewArea
