#pragma once

#include <QMargins>
#include <QPixmap>
#include <QSize>

#include "cards/cardstate.h"

class QPainter;
class QRect;
class Clock;
struct ClipboardItem;

// Draws one clip as a fixed-size card: its frame (CardChrome), header band
// with kind, relative date and source-application icon, the preview by kind
// (CardPreviewArea) and the footer with size and pin. Keeps no state of its
// own: header colours, application icons and rendered pictures live in the
// process-wide caches, so a strip's delegate keeps one CardView and calls
// paint() for every cell. The card's context menu and drag payload are
// CardContextMenu and CardDragPayload. Main thread only.
class CardView final
{
public:
    static constexpr int kCardWidth = 300;
    static constexpr int kCornerRadius = 14;
    static constexpr int kHeaderHeight = 52;
    static constexpr int kInnerPadding = 10;
    static constexpr int kPreviewHeight = 170;
    static constexpr int kFooterHeight = 32;

    // The card body: kCardWidth wide, header + preview + footer tall.
    static QSize cardSize();
    // Room paint() draws into around the card rectangle (shadow, selection
    // glow, the application icon overhanging the top-right corner). A strip
    // keeps at least this much space around each card rectangle so nothing
    // is cut off; drawing there is harmless if it does not.
    static QMargins paintMargins();

    // `clock` gives the moment the relative date is measured from; it must
    // outlive the view.
    explicit CardView(const Clock &clock);
    // Uses the system clock.
    CardView();

    // Paints `item` with its card rectangle at `cardRect` (normally of
    // cardSize(); other sizes stretch the preview). Restores the painter's
    // state before returning. Undecodable images, unparsable RTF and unknown
    // applications draw their placeholders or fallbacks; nothing throws.
    void paint(QPainter &painter, const QRect &cardRect, const ClipboardItem &item,
               const CardState &state) const;

    // The card painted alone on a transparent pixmap (cardSize() plus
    // paintMargins()), for QDrag::setPixmap.
    QPixmap renderPixmap(const ClipboardItem &item, const CardState &state,
                         qreal devicePixelRatio = 1.0) const;

private:
    const Clock &m_clock;
};
