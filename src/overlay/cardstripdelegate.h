#pragma once

#include <memory>

#include <QAbstractItemDelegate>
#include <QCache>
#include <QPixmap>
#include <QUuid>
#include <QSize>

class CardView;
class Clock;
class LongPressController;

// Paints one strip cell: the clip's card centred in it (selected and hovered
// states from the model and the view) and, while a long press fills on that
// clip, the progress ring over the card. Cells are all the same size, so the
// view lays out any number of clips without asking each one; the cards last
// painted are kept as images so scrolling only copies them.
class CardStripDelegate final : public QAbstractItemDelegate
{
    Q_OBJECT

public:
    // Horizontal room between two cards, and the cell height.
    static constexpr int kCardSpacing = 16;
    static constexpr int kCellHeight = 270;

    // Card dates are measured from the system clock, or from `clock`
    // (which must outlive the delegate).
    explicit CardStripDelegate(QObject *parent = nullptr);
    explicit CardStripDelegate(const Clock &clock, QObject *parent = nullptr);
    ~CardStripDelegate() override;

    // Forgets the cached card images (a clip's content changed).
    void invalidateCards() { m_cache.clear(); }

    // Shows the long-press ring of `controller` (may be null: no ring).
    void setLongPress(const LongPressController *controller) { m_longPress = controller; }

    static QSize cellSize();
    static QSize cardSize();
    // The card's rectangle inside a cell.
    static QRect cardRect(const QRect &cell);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    // One painted card, reused while nothing it shows can have changed:
    // same clip content (cleared on change), state, pixel ratio and second
    // (the relative date moves at most once a second).
    struct CachedCard
    {
        QPixmap pixmap;
        bool selected = false;
        bool hovered = false;
        qint64 second = 0;
    };
    static constexpr int kCachedCards = 24;

    const Clock &m_clock;
    std::unique_ptr<CardView> m_card;
    mutable QCache<QUuid, CachedCard> m_cache{kCachedCards};
    const LongPressController *m_longPress = nullptr;
};
