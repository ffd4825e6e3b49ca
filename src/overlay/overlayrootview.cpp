#include "overlayrootview.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "model/uuidtext.h"
#include "overlay/cardstripdelegate.h"
#include "overlay/cardstripmodel.h"
#include "overlay/cardstripview.h"
#include "overlay/dragfoldersoverlay.h"
#include "overlay/folderchipsbar.h"
#include "overlay/longpresscontroller.h"
#include "platform/logger.h"
#include "store/clipboardstore.h"
#include "styling/glassmaterial.h"
#include "styling/glasspanelbackground.h"

namespace {
// The panel is 330 px tall; these insets leave the strip its 270 px.
constexpr int kRootPadX = 12;
constexpr int kRootPadY = 4;
constexpr int kCornerRadius = 20;
} // namespace

OverlayRootView::OverlayRootView(ClipboardStore &store, Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_clock(clock)
    , m_model(new CardStripModel(store, this))
    , m_delegate(new CardStripDelegate(clock, this))
    , m_chipsBar(new FolderChipsBar(store, clock, this))
    , m_strip(new CardStripView(store, *m_model, this))
    , m_longPress(new LongPressController(store, clock, this))
    , m_overlay(new DragFoldersOverlay(this))
{
    setObjectName(QStringLiteral("OverlayRootView"));
    setAttribute(Qt::WA_TranslucentBackground);
    m_strip->setItemDelegate(m_delegate);
    m_delegate->setLongPress(m_longPress);
    // Content changes (a thumbnail arriving, a pin) make the cached cards stale;
    // selection-only changes do not, the delegate keys them by state.
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles != QList<int>{CardStripModel::SelectedRole})
                    m_delegate->invalidateCards();
            });

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(kRootPadX, kRootPadY, kRootPadX, kRootPadY);
    column->setSpacing(0);
    auto *barRow = new QVBoxLayout;
    barRow->setContentsMargins(16, 6, 16, 4);
    barRow->addWidget(m_chipsBar);
    column->addLayout(barRow);
    column->addSpacing(1); // divider
    column->addWidget(m_strip);
    column->addSpacing(8); // divider with its padding
    column->addStretch(1);

    connect(m_strip, &CardStripView::tapped, this, &OverlayRootView::tap);
    connect(m_strip, &CardStripView::chooseRequested, this, &OverlayRootView::doubleTap);
    connect(m_strip, &CardStripView::pressed, m_longPress, &LongPressController::mouseDown);
    connect(m_strip, &CardStripView::released, m_longPress, &LongPressController::mouseUp);
    connect(m_longPress, &LongPressController::ringChanged, m_strip->viewport(), qOverload<>(&QWidget::update));
    // Once the ring shows, moving the held pointer must not turn into a card drag.
    connect(m_longPress, &LongPressController::ringChanged, this, [this] {
        if (m_longPress->longPressActive())
            m_strip->suppressDragForThisPress();
    });
    connect(m_longPress, &LongPressController::draggingChanged, this, &OverlayRootView::onDraggingChanged);
    connect(m_longPress, &LongPressController::hoveredFolderChanged, this,
            [this] { m_overlay->setHoveredFolderId(m_longPress->hoveredFolderId()); });
    connect(m_overlay, &DragFoldersOverlay::hoverRequested, m_longPress, &LongPressController::setHoveredFolderId);
    connect(m_overlay, &DragFoldersOverlay::dropRequested, m_longPress, &LongPressController::completeDrag);
    connect(m_overlay, &DragFoldersOverlay::cancelRequested, m_longPress, &LongPressController::cancelDrag);
    connect(&store, &ClipboardStore::selectionChanged, this, &OverlayRootView::onSelectionChanged);
}

OverlayRootView::~OverlayRootView() = default;

QString OverlayRootView::selectionLogText(const QSet<QUuid> &selection)
{
    QStringList parts;
    for (const QUuid &id : selection)
        parts.append(QLatin1Char('"') + uuidTag(id) + QLatin1Char('"'));
    return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

void OverlayRootView::tap(const QUuid &id, Qt::KeyboardModifiers modifiers)
{
    Log::debug(QStringLiteral("👆 TAP: item.id=%1..., current selection=%2")
                   .arg(uuidTag(id), selectionLogText(m_store.selection())));
    QSet<QUuid> selection = m_store.selection();
    if (modifiers & Qt::ControlModifier) {
        if (selection.remove(id)) {
            Log::debug(QStringLiteral("👆 TAP: Removed from selection (CMD held)"));
        } else {
            selection.insert(id);
            Log::debug(QStringLiteral("👆 TAP: Added to selection (CMD held)"));
        }
    } else {
        selection = {id};
        Log::debug(QStringLiteral("👆 TAP: Set as sole selection"));
    }
    m_store.setSelection(selection);
    Log::info(QStringLiteral("👆 TAP RESULT: selection=%1").arg(selectionLogText(m_store.selection())));
}

void OverlayRootView::doubleTap(const QUuid &id)
{
    const ClipboardItem *item = m_model->itemAt(m_model->rowOf(id));
    if (item && m_choose)
        m_choose(*item);
}

void OverlayRootView::onSelectionChanged()
{
    if (m_store.suppressAutoScrollOnce()) {
        m_store.setSuppressAutoScrollOnce(false);
        return;
    }
    const QSet<QUuid> &selection = m_store.selection();
    if (selection.isEmpty())
        return;
    // With several ids, the smallest: the same clip Return and Space act on.
    m_strip->centreOn(*std::min_element(selection.cbegin(), selection.cend()));
}

void OverlayRootView::onDraggingChanged(bool dragging)
{
    if (dragging) {
        m_overlay->setGeometry(rect());
        m_overlay->setFolders(m_store.folders());
        m_overlay->appear();
    } else {
        m_overlay->disappear();
    }
}

QRect OverlayRootView::mainCardRect() const
{
    return rect().adjusted(kRootPadX, kRootPadY, -kRootPadX, -kRootPadY);
}

void OverlayRootView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_overlay->setGeometry(rect());
}

void OverlayRootView::paintEvent(QPaintEvent *)
{
    // The glass costs milliseconds to draw and lies under the strip, so every
    // scroll step would redraw it: it is drawn once per size into an image
    // and copied from there (the painter is clipped to the damaged region).
    const qreal dpr = devicePixelRatioF();
    const bool translucent = GlassMaterial::translucencyAvailable();
    if (m_background.size() != size() * dpr || m_backgroundTranslucent != translucent) {
        m_background = QPixmap(size() * dpr);
        m_background.setDevicePixelRatio(dpr);
        m_background.fill(Qt::transparent);
        m_backgroundTranslucent = translucent;
        QPainter bg(&m_background);
        bg.setRenderHint(QPainter::Antialiasing);
        const QRectF card = mainCardRect();
        GlassPanelBackground glass = GlassPanelBackground::overlayCard();
        glass.paint(bg, card, translucent);

        // The two dividers: under the chips bar, and under the strip.
        bg.setPen(QPen(QColor(255, 255, 255, 28), 1));
        const qreal left = card.left() + 16;
        const qreal right = card.right() - 16;
        const qreal top = m_strip->geometry().top() - 0.5;
        const qreal bottom = m_strip->geometry().bottom() + 4.5;
        bg.drawLine(QPointF(left, top), QPointF(right, top));
        bg.drawLine(QPointF(left, bottom), QPointF(right, bottom));
    }
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, m_background);
}
