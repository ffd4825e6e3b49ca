#include "longpresscontroller.h"

#include <algorithm>

#include "model/uuidtext.h"
#include "platform/clock.h"
#include "platform/logger.h"
#include "store/clipboardstore.h"

namespace {
constexpr double kRingFrameSeconds = 1.0 / 60.0;
}

LongPressController::LongPressController(ClipboardStore &store, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(clock)
{
}

void LongPressController::mouseDown(const QUuid &id)
{
    if (m_longPressActive || m_isDragging || m_isMouseDown)
        return;
    m_isMouseDown = true;
    Log::debug(QStringLiteral("🎯 MOUSE DOWN on %1..., waiting 0.8s...").arg(uuidTag(id)));
    // The steps are not cancelled on release; each re-checks the state instead.
    m_clock.schedule(kHoldSeconds, this, [this, id] { startLongPress(id); });
}

void LongPressController::startLongPress(const QUuid &id)
{
    if (!m_isMouseDown || m_longPressActive || m_isDragging) {
        Log::debug(QStringLiteral("🎯 Timer 0.8s expired but mouse was released - cancelled"));
        return;
    }
    m_longPressActive = true;
    m_longPressItemId = id;
    m_longPressProgress = 0;
    Log::info(QStringLiteral("🎯 LONG PRESS: Started on item.id=%1...").arg(uuidTag(id)));
    // Like an animated property: the value is the target at once, the drawing catches up.
    m_longPressProgress = 1;
    m_ringStartedAt = m_clock.now();
    m_clock.cancel(m_ringTimer);
    m_ringTimer = m_clock.schedule(kRingFrameSeconds, this, [this] { emit ringChanged(); }, true);
    emit ringChanged();
    m_clock.schedule(kRingSeconds, this, [this, id] { triggerOverlay(id); });
}

void LongPressController::triggerOverlay(const QUuid &id)
{
    if (!m_isMouseDown || !m_longPressActive || m_longPressProgress < 0.99) {
        Log::debug(QStringLiteral("🎯 Timer 0.3s expired but conditions not met - cancelled"));
        resetRing();
        return;
    }
    m_draggedItems = draggedIdsFor(id);
    resetRing();
    m_isMouseDown = false;
    setDragging(true);
    Log::info(QStringLiteral("🎯 OVERLAY triggered with %1 item(s)").arg(m_draggedItems.size()));
}

QList<QUuid> LongPressController::draggedIdsFor(const QUuid &id) const
{
    const QSet<QUuid> &selection = m_store.selection();
    if (selection.contains(id)) {
        Log::debug(QStringLiteral("🎯 Using selection (%1 items)").arg(selection.size()));
        return QList<QUuid>(selection.cbegin(), selection.cend());
    }
    Log::debug(QStringLiteral("🎯 Using single item"));
    return {id};
}

void LongPressController::mouseUp(const QUuid &id)
{
    Log::debug(QStringLiteral("🎯 MOUSE UP - isMouseDown=false"));
    m_isMouseDown = false;
    if (m_longPressActive && m_longPressItemId == id) {
        Log::debug(QStringLiteral("🎯 LONG PRESS: Cancelled (released during animation)"));
        resetRing();
    }
}

void LongPressController::resetRing()
{
    const bool wasShown = m_longPressActive;
    m_longPressActive = false;
    m_longPressProgress = 0;
    m_longPressItemId.reset();
    m_clock.cancel(m_ringTimer);
    m_ringTimer = 0;
    if (wasShown)
        emit ringChanged();
}

double LongPressController::displayedProgress() const
{
    if (!m_longPressActive)
        return 0;
    return std::clamp((m_clock.now() - m_ringStartedAt) / kRingSeconds, 0.0, 1.0) * m_longPressProgress;
}

void LongPressController::completeDrag(const std::optional<QUuid> &folderId)
{
    Log::info(QStringLiteral("🎯 DROP on folder: %1")
                  .arg(folderId ? uuidTag(*folderId) : QStringLiteral("nil")));
    std::optional<ClipboardFolder> target;
    if (folderId) {
        for (const ClipboardFolder &folder : m_store.folders()) {
            if (folder.id == *folderId)
                target = folder;
        }
    }
    const QSet<QUuid> ids(m_draggedItems.cbegin(), m_draggedItems.cend());
    m_store.assign(ids, target);
    m_store.setSelection({});
    setDragging(false);
    m_draggedItems.clear();
    setHoveredFolderId(std::nullopt);
    Log::info(QStringLiteral("🎯 CUSTOM DRAG: Completed"));
}

void LongPressController::cancelDrag()
{
    Log::info(QStringLiteral("🎯 CUSTOM DRAG: Cancelled"));
    setDragging(false);
    m_draggedItems.clear();
    setHoveredFolderId(std::nullopt);
}

void LongPressController::setHoveredFolderId(const std::optional<QUuid> &id)
{
    if (m_hoveredFolderId == id)
        return;
    m_hoveredFolderId = id;
    emit hoveredFolderChanged();
}

void LongPressController::setDragging(bool dragging)
{
    if (m_isDragging == dragging)
        return;
    m_isDragging = dragging;
    emit draggingChanged(dragging);
}
