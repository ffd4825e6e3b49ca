#pragma once

#include <QListView>
#include <QPoint>
#include <QPointer>
#include <QUuid>

#include "model/clipboarditem.h"

class CardStripModel;
class ClipboardStore;
class QPropertyAnimation;

// The horizontal strip of cards: a list view over CardStripModel with
// uniform cells, no scroll bars, scrolled by the wheel or a touchpad. It does
// not use the view's own selection; it reports gestures and the owner changes
// the store:
// - tapped: a click released without a drag (the first click of a double
//   click too);
// - chooseRequested: a double click;
// - pressed / released: the button going down and up on a card (long press);
// - a drag past the start distance starts a system drag of the card payload.
// The context menu is the card's own. Main thread only.
class CardStripView final : public QListView
{
    Q_OBJECT

public:
    static constexpr int kStripHeight = 270;
    static constexpr int kEndInset = 16;
    static constexpr int kScrollMilliseconds = 180;

    // `store` must outlive the view; the view does not own `model`.
    CardStripView(ClipboardStore &store, CardStripModel &model, QWidget *parent = nullptr);

    CardStripModel &stripModel() const { return m_model; }

    // Scrolls so the card of `id` is centred (clamped to the ends), eased
    // in and out over kScrollMilliseconds, or at once when `animated` is
    // false. Does nothing when the clip is not shown.
    void centreOn(const QUuid &id, bool animated = true);
    // The scroll position the last centreOn() aimed at (or the current one).
    int targetScrollValue() const { return m_targetScroll; }

    // The press under way no longer starts a system drag (a long press took
    // it over); its release is still reported.
    void suppressDragForThisPress() { m_dragSuppressed = true; }

    // The card rectangle (viewport coordinates) of `row`; empty when out of range.
    QRect cardRectForRow(int row) const;

signals:
    void tapped(const QUuid &id, Qt::KeyboardModifiers modifiers);
    void chooseRequested(const QUuid &id);
    void pressed(const QUuid &id);
    void released(const QUuid &id);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    std::optional<QUuid> cardAt(const QPoint &pos) const;
    void startCardDrag(const QUuid &id);

    ClipboardStore &m_store;
    CardStripModel &m_model;
    QPointer<QPropertyAnimation> m_scrollAnimation;
    int m_targetScroll = 0;
    std::optional<QUuid> m_pressedId;
    QPoint m_pressPos;
    bool m_dragStarted = false;
    bool m_dragSuppressed = false;
};
