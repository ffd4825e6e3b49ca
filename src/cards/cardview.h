#pragma once

#include <QMargins>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QUuid>

#include "cards/cardstate.h"

class QMenu;
class QMimeData;
class QPainter;
class QRect;
class QWidget;
class Clock;
class ClipboardStore;
struct ClipboardItem;

// Draws one clip as a fixed-size card (header band with kind, relative date
// and source-application icon; preview by kind; footer with size and pin)
// and offers the card's context menu and drag payload. Keeps no state of its
// own: header colours and application icons live in the process-wide caches,
// so a strip's delegate keeps one CardView and calls paint() for every cell.
// Main thread only.
class CardView final
{
public:
    static constexpr int kCardWidth = 300;
    static constexpr int kCornerRadius = 14;
    static constexpr int kHeaderHeight = 52;
    static constexpr int kInnerPadding = 10;
    static constexpr int kPreviewHeight = 170;
    static constexpr int kFooterHeight = 32;

    // MIME types of the drag payload.
    static constexpr char kIdMimeType[] = "text/plain";
    static constexpr char kJsonMimeType[] = "application/json";

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

    // The card's context menu: "Épingler"/"Désépingler", "Déplacer vers…"
    // ("Tous", then the store's folders in order) and "Supprimer". Moving acts
    // on every selected clip when this clip is selected, else on this clip
    // only; "Supprimer" on an unselected card first makes it the only
    // selection. The actions call `store` when triggered and hold the clip's
    // id, not the record. The caller owns the menu (exec() it, then delete).
    static QMenu *createContextMenu(ClipboardStore &store, const ClipboardItem &item,
                                    QWidget *parent = nullptr);

    // The drag payload: kIdMimeType = the clip's canonical upper-case UUID;
    // when `selection` is not empty, also kJsonMimeType = the compact JSON
    // array of the selected ids (canonical upper-case, the set's order). The
    // caller owns the result (hand it to QDrag).
    static QMimeData *dragPayload(const ClipboardItem &item, const QSet<QUuid> &selection);

private:
    const Clock &m_clock;
};
