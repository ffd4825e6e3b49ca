#include "clipboardwatcher.h"

#include <QPointer>

#include "platform/logger.h"

struct ClipboardWatcher::PendingOffer
{
    enum class Kind { Content, OwnWrite, OwnerGone };
    Kind kind = Kind::Content;
    qint64 number = 0;
    bool ready = false;
    std::optional<ClipboardItem> item;
};

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

void ClipboardWatcher::setOfferCapture(Clipboard::TypeChooser choose, OfferCapture capture)
{
    m_choose = std::move(choose);
    m_offerCapture = std::move(capture);
}

void ClipboardWatcher::start()
{
    if (m_started)
        return;
    m_started = true;
    Log::info(QStringLiteral("ClipboardWatcher start() — started=%1").arg(m_started ? "true" : "false"));
    if (m_offerCapture) {
        QPointer<ClipboardWatcher> self(this);
        m_followsEvents = m_clipboard.watchChanges(m_choose, [self](const ClipboardOffer &offer) {
            if (self)
                self->onOffer(offer);
        });
    }
    if (m_followsEvents) {
        Log::info(QStringLiteral("Watcher: following clipboard change events"));
        return;
    }
    if (m_timer)
        m_clock.cancel(*m_timer);
    m_timer = m_clock.schedule(kPollSeconds, this, [this] { tick(); }, true);
    Log::info(QStringLiteral("Watcher: no clipboard change events here, polling every %1 s").arg(kPollSeconds));
}

void ClipboardWatcher::onOffer(const ClipboardOffer &offer)
{
    auto pending = std::make_shared<PendingOffer>();
    pending->number = ++m_offerCount;
    m_lastChangeCount = m_offerCount;
    if (offer.formats.isEmpty())
        pending->kind = PendingOffer::Kind::OwnerGone;
    else if (offer.formats.contains(QLatin1String(Clipboard::kOwnWriteMimeType)))
        pending->kind = PendingOffer::Kind::OwnWrite;
    m_offers.push_back(pending);
    if (pending->kind != PendingOffer::Kind::Content) {
        pending->ready = true;
        handOver();
        return;
    }
    QPointer<ClipboardWatcher> self(this);
    m_offerCapture(offer, [self, pending](std::optional<ClipboardItem> item) {
        pending->item = std::move(item);
        pending->ready = true;
        if (self)
            self->handOver();
    });
}

void ClipboardWatcher::handOver()
{
    // An owner-gone handler writes the clipboard, and a fake clipboard reports
    // that write at once: the offer it adds waits for this loop.
    if (m_handingOver)
        return;
    m_handingOver = true;
    while (!m_offers.empty() && m_offers.front()->ready) {
        const std::shared_ptr<PendingOffer> offer = m_offers.front();
        m_offers.pop_front();
        switch (offer->kind) {
        case PendingOffer::Kind::OwnerGone:
            if (m_current)
                handBackLostContent();
            break;
        case PendingOffer::Kind::OwnWrite:
            m_current.reset();
            if (m_shouldIgnore)
                m_shouldIgnore(offer->number);
            break;
        case PendingOffer::Kind::Content:
            if (offer->item) {
                Log::info(QStringLiteral("Watcher: onNewItem %1 size=%2")
                              .arg(clipKindRawValue(offer->item->kind))
                              .arg(offer->item->raw.size()));
                if (m_onNewItem)
                    m_onNewItem(*offer->item);
            }
            m_current = offer->item;
            break;
        }
    }
    m_handingOver = false;
}

void ClipboardWatcher::handBackLostContent()
{
    const ClipboardItem gone = *m_current;
    m_current.reset();
    Log::info(QStringLiteral("Watcher: clipboard owner gone, content lost"));
    if (m_onOwnerGone)
        m_onOwnerGone(gone);
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
        handBackLostContent();
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
