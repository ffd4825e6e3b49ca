#pragma once

#include <optional>

#include <QList>
#include <QObject>
#include <QUuid>

#include "model/clipboardfolder.h"

class Clock;
class ClipboardStore;

// The press-and-hold gesture on a strip card that opens the folder targets:
// 0.8 s after the press a ring appears and fills over 0.3 s; when full the
// targets are shown (isDragging) for the pressed clip, or for the whole
// selection when the pressed clip is part of it. The delayed steps re-check
// the state they need and log why they stop. Main thread only.
class LongPressController final : public QObject
{
    Q_OBJECT

public:
    static constexpr double kHoldSeconds = 0.8;
    static constexpr double kRingSeconds = 0.3;

    // `store` and `clock` must outlive the controller.
    LongPressController(ClipboardStore &store, Clock &clock, QObject *parent = nullptr);

    // The button went down on (or, still held, moved over) the card of `id`.
    void mouseDown(const QUuid &id);
    // The button came up after a press on the card of `id`.
    void mouseUp(const QUuid &id);
    // A folder target was chosen: moves the dragged clips into `folderId`
    // (none, or an id naming no folder: out of any folder), empties the
    // selection and closes the targets.
    void completeDrag(const std::optional<QUuid> &folderId);
    // Closes the targets without moving anything; the selection stays.
    void cancelDrag();
    void setHoveredFolderId(const std::optional<QUuid> &id);

    bool isDragging() const { return m_isDragging; }
    QList<QUuid> draggedItems() const { return m_draggedItems; }
    std::optional<QUuid> hoveredFolderId() const { return m_hoveredFolderId; }
    // The ring's target value (0 or 1, as set by the steps).
    double longPressProgress() const { return m_longPressProgress; }
    // The ring as drawn now: filling linearly over kRingSeconds.
    double displayedProgress() const;
    bool longPressActive() const { return m_longPressActive; }
    std::optional<QUuid> longPressItemId() const { return m_longPressItemId; }
    bool isMouseDown() const { return m_isMouseDown; }

signals:
    // The ring appeared, moved or went away: repaint it.
    void ringChanged();
    // isDragging changed.
    void draggingChanged(bool dragging);
    void hoveredFolderChanged();

private:
    void startLongPress(const QUuid &id);
    void triggerOverlay(const QUuid &id);
    void resetRing();
    void setDragging(bool dragging);
    QList<QUuid> draggedIdsFor(const QUuid &id) const;

    ClipboardStore &m_store;
    Clock &m_clock;
    bool m_isDragging = false;
    QList<QUuid> m_draggedItems;
    std::optional<QUuid> m_hoveredFolderId;
    double m_longPressProgress = 0;
    bool m_longPressActive = false;
    std::optional<QUuid> m_longPressItemId;
    bool m_isMouseDown = false;
    double m_ringStartedAt = 0;
    int m_ringTimer = 0;
};
