#include "cardstripdelegate.h"

#include <QPainter>

#include "cards/cardview.h"
#include "model/clipboarditem.h"
#include "platform/systemclock.h"
#include "overlay/cardstripmodel.h"
#include "overlay/longpresscontroller.h"
#include "overlay/longpressprogressindicator.h"


CardStripDelegate::CardStripDelegate(QObject *parent)
    : QAbstractItemDelegate(parent)
    , m_clock(SystemClock::instance())
    , m_card(std::make_unique<CardView>())
{
}

CardStripDelegate::CardStripDelegate(const Clock &clock, QObject *parent)
    : QAbstractItemDelegate(parent)
    , m_clock(clock)
    , m_card(std::make_unique<CardView>(clock))
{
}

CardStripDelegate::~CardStripDelegate() = default;

QSize CardStripDelegate::cardSize()
{
    return CardView::cardSize();
}

QSize CardStripDelegate::cellSize()
{
    return QSize(cardSize().width() + kCardSpacing, kCellHeight);
}

QRect CardStripDelegate::cardRect(const QRect &cell)
{
    const QSize card = cardSize();
    return QRect(cell.left() + kCardSpacing / 2, cell.top() + (cell.height() - card.height()) / 2, card.width(),
                 card.height());
}

QSize CardStripDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return cellSize();
}

void CardStripDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const CardStripModel *>(index.model());
    const ClipboardItem *item = model ? model->itemAt(index.row()) : nullptr;
    if (!item)
        return;
    const QRect card = cardRect(option.rect);
    CardState state;
    state.selected = model->isSelected(index.row());
    state.hovered = option.state & QStyle::State_MouseOver;
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const qint64 second = qint64(m_clock.now());
    CachedCard *cached = m_cache.object(item->id);
    if (!cached || cached->selected != state.selected || cached->hovered != state.hovered
        || cached->second != second || !qFuzzyCompare(cached->pixmap.devicePixelRatio(), dpr)) {
        cached = new CachedCard{m_card->renderPixmap(*item, state, dpr), state.selected, state.hovered, second};
        m_cache.insert(item->id, cached);
    }
    const QMargins margins = CardView::paintMargins();
    painter->drawPixmap(card.topLeft() - QPoint(margins.left(), margins.top()), cached->pixmap);

    if (m_longPress && m_longPress->longPressActive() && m_longPress->longPressItemId() == item->id)
        LongPressProgressIndicator::paint(*painter, QRectF(card).center(), m_longPress->displayedProgress());
}
