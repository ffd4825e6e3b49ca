#include "cardstripview.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPropertyAnimation>
#include <QScrollBar>

#include "cards/cardcontextmenu.h"
#include "cards/carddragpayload.h"
#include "cards/cardthumbnails.h"
#include "overlay/cardstripdelegate.h"
#include "overlay/cardstripmodel.h"
#include "store/clipboardstore.h"

CardStripView::CardStripView(ClipboardStore &store, CardStripModel &model, QWidget *parent)
    : QListView(parent)
    , m_store(store)
    , m_model(model)
{
    setObjectName(QStringLiteral("CardStrip"));
    setModel(&model);
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QListView#CardStrip { background: transparent; }"));
    setFixedHeight(kStripHeight);
    // Cells carry half the card spacing on each side; the margins make up
    // the rest of the inset at both ends.
    setViewportMargins(kEndInset - CardStripDelegate::kCardSpacing / 2, 0,
                       kEndInset - CardStripDelegate::kCardSpacing / 2, 0);
    horizontalScrollBar()->setSingleStep(40);
    // A large image's card picture is decoded on a worker; its card shows a
    // placeholder until then.
    connect(&CardThumbnails::shared(), &CardThumbnails::pictureReady, viewport(), qOverload<>(&QWidget::update));
}

QRect CardStripView::cardRectForRow(int row) const
{
    const QModelIndex index = m_model.index(row);
    if (!index.isValid())
        return {};
    return CardStripDelegate::cardRect(visualRect(index));
}

std::optional<QUuid> CardStripView::cardAt(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid() || !CardStripDelegate::cardRect(visualRect(index)).contains(pos))
        return std::nullopt;
    const ClipboardItem *item = m_model.itemAt(index.row());
    return item ? std::optional<QUuid>(item->id) : std::nullopt;
}

void CardStripView::centreOn(const QUuid &id, bool animated)
{
    const int row = m_model.rowOf(id);
    if (row < 0)
        return;
    // Content coordinates: the cell's offset plus the current scroll position.
    QScrollBar *bar = horizontalScrollBar();
    const QRect cell = visualRect(m_model.index(row));
    const int centre = cell.center().x() + bar->value();
    const int target = std::clamp(centre - viewport()->width() / 2, bar->minimum(), bar->maximum());
    m_targetScroll = target;
    if (m_scrollAnimation)
        m_scrollAnimation->stop();
    if (!animated || target == bar->value()) {
        bar->setValue(target);
        return;
    }
    auto *animation = new QPropertyAnimation(bar, "value", this);
    animation->setDuration(kScrollMilliseconds);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(bar->value());
    animation->setEndValue(target);
    m_scrollAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void CardStripView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    m_dragStarted = false;
    m_dragSuppressed = false;
    m_pressedId = cardAt(event->position().toPoint());
    m_pressPos = event->position().toPoint();
    if (m_pressedId && event->button() == Qt::LeftButton)
        emit pressed(*m_pressedId);
    event->accept();
}

void CardStripView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_pressedId || m_dragStarted || m_dragSuppressed) {
        QListView::mouseMoveEvent(event);
        return;
    }
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragStarted = true;
    const QUuid id = *m_pressedId;
    // The system drag swallows the release; end the press here.
    emit released(id);
    startCardDrag(id);
    m_pressedId.reset();
}

void CardStripView::startCardDrag(const QUuid &id)
{
    const int row = m_model.rowOf(id);
    const ClipboardItem *item = m_model.itemAt(row);
    if (!item)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(CardDragPayload::create(*item, m_store.selection()));
    const QRect card = cardRectForRow(row);
    QPixmap pixmap = viewport()->grab(card);
    drag->setPixmap(pixmap.scaledToWidth(pixmap.width() / 2, Qt::SmoothTransformation));
    drag->setHotSpot((m_pressPos - card.topLeft()) / 2);
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void CardStripView::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<QUuid> pressed = m_pressedId;
    m_pressedId.reset();
    if (!pressed || event->button() != Qt::LeftButton || m_dragStarted || m_dragSuppressed) {
        event->accept();
        return;
    }
    emit released(*pressed);
    if (cardAt(event->position().toPoint()) == pressed) {
        // The click's own modifiers and the keyboard's current ones: either
        // tells that Ctrl is held.
        emit tapped(*pressed, event->modifiers() | QGuiApplication::queryKeyboardModifiers());
    }
    event->accept();
}

void CardStripView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const std::optional<QUuid> id = cardAt(event->position().toPoint());
    m_pressedId.reset();
    if (id && event->button() == Qt::LeftButton)
        emit chooseRequested(*id);
    event->accept();
}

void CardStripView::wheelEvent(QWheelEvent *event)
{
    // A vertical wheel scrolls the strip sideways.
    QPoint delta = event->pixelDelta();
    if (delta.isNull())
        delta = event->angleDelta() / 120 * 3 * 40 / 3;
    const int step = std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
    if (m_scrollAnimation)
        m_scrollAnimation->stop();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - step);
    event->accept();
}

void CardStripView::contextMenuEvent(QContextMenuEvent *event)
{
    const std::optional<QUuid> id = cardAt(event->pos());
    if (!id)
        return;
    const ClipboardItem *item = m_model.itemAt(m_model.rowOf(*id));
    if (!item)
        return;
    QMenu *menu = CardContextMenu::create(m_store, *item, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
