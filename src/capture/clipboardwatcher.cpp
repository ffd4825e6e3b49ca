#include "clipboardwatcher.h"

#include <QPointer>

#include "platform/clipboard.h"
#include "platform/logger.h"

ClipboardWatcher::ClipboardWatcher(Clipboard &clipboard, Clock &clock, Capture capture, QObject *parent)
    : QObject(parent), m_clipboard(clipboard), m_clock(clock), m_capture(std::move(capture)),
      m_lastChangeCount(clipboard.changeCount())
{
}

ClipboardWatcher::~ClipboardWatcher()
{
    if (m_timer)
        m_clock.cancel(*m_timer);
}

void ClipboardWatcher::start()
{
    if (m_started)
        return;
    m_started = true;
    if (m_timer)
        m_clock.cancel(*m_timer);
    m_timer = m_clock.schedule(kPollSeconds, this, [this] { tick(); }, true);
    Log::info(QStringLiteral("ClipboardWatcher start() — started=%1").arg(m_started ? "true" : "false"));
}

void ClipboardWatcher::tick()
{
    const qint64 cc = m_clipboard.changeCount();
    if (cc == m_lastChangeCount)
        return;
    Log::debug(QStringLiteral("Watcher.tick() changeCount %1 → %2").arg(m_lastChangeCount).arg(cc));
    const double now = m_clock.now();

    // The clipboard's owner quit and took the content with it. Looked at before
    // the timing rules: losing the content is not a copy to absorb.
    if (m_current && !m_isCoalescing && m_clipboard.formats().isEmpty()) {
        m_lastChangeCount = cc;
        const ClipboardItem gone = *m_current;
        m_current.reset();
        Log::info(QStringLiteral("Watcher: clipboard owner gone, content lost"));
        if (m_onOwnerGone)
            m_onOwnerGone(gone);
        return;
    }

    if (now - m_lastTriggerTime < kAbsorbSeconds) {
        m_lastChangeCount = cc;
        m_current.reset();
        return;
    }
    if (m_isCoalescing) {
        m_lastChangeCount = cc;
        return;
    }
    m_isCoalescing = true;
    m_lastTriggerTime = now;
    m_lastChangeCount = cc;

    // The one-shot ignore belongs to our own write; a foreign copy made while
    // it is pending must still be captured, and leaves the flag for our write.
    if (m_clipboard.holdsOwnWrite()) {
        m_current.reset();
        if (m_shouldIgnore)
            m_shouldIgnore(cc);
        m_isCoalescing = false;
        return;
    }

    QPointer<ClipboardWatcher> self(this);
    m_clock.schedule(kSettleSeconds, this, [self] {
        if (self)
            self->captureNow();
    });
}

void ClipboardWatcher::captureNow()
{
    std::optional<ClipboardItem> item = m_capture ? m_capture() : std::nullopt;
    if (item) {
        Log::info(QStringLiteral("Watcher: onNewItem %1 size=%2").arg(clipKindRawValue(item->kind)).arg(item->raw.size()));
        if (m_onNewItem)
            m_onNewItem(*item);
    }
    // Only content we captured is worth keeping when its owner quits; a
    // secret, our own write or unreadable content is not.
    m_current = item;
    m_isCoalescing = false;
}
