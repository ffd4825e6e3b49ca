#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include <QObject>

#include "model/clipboarditem.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "store/capturesource.h"

// Has every change of the clipboard turned into a clip for its owner.
//
// When the clipboard reports changes (watchChanges answers true, and an
// offer capture is set), each owner change is one offer and each offer with
// content becomes its own clip, in the order of the changes however fast they
// come: no settle delay, no absorption. An offer whose clip is still being
// made (an image converted on a worker) holds back the offers after it.
//
// Otherwise it polls the change count every kPollSeconds and, kSettleSeconds
// after an accepted change, has the content turned into one clip. A change
// within kAbsorbSeconds of the last accepted one, or while a capture is
// pending, is absorbed.
//
// Either way our own writes (marked content) are never captured: the owner's
// shouldIgnore is asked about them only, so a pending "ignore the next change"
// cannot swallow a real copy by someone else. When the owner of a captured
// content quits and leaves the clipboard empty, the clip goes to the
// owner-gone handler (which may put it back). Main thread only.
class ClipboardWatcher final : public QObject, public CaptureSource
{
    Q_OBJECT

public:
    using Capture = std::function<std::optional<ClipboardItem>()>;
    // Turns one offer into at most one clip, handed to the callback on the
    // main thread (at once or later).
    using OfferCapture = std::function<void(const ClipboardOffer &offer,
                                            std::function<void(std::optional<ClipboardItem>)> done)>;
    using OwnerGoneHandler = std::function<void(const ClipboardItem &)>;

    static constexpr double kPollSeconds = 0.5;
    static constexpr double kSettleSeconds = 0.2;
    static constexpr double kAbsorbSeconds = 0.25;

    // Reads the clipboard's change count now: what is on the clipboard at
    // creation is never captured. `capture` reads the content into a clip.
    ClipboardWatcher(Clipboard &clipboard, Clock &clock, Capture capture, QObject *parent = nullptr);
    ~ClipboardWatcher() override;

    void setOnNewItem(NewItemHandler handler) override { m_onNewItem = std::move(handler); }
    void setShouldIgnore(IgnoreHandler handler) override { m_shouldIgnore = std::move(handler); }
    void setOnOwnerGone(OwnerGoneHandler handler) { m_onOwnerGone = std::move(handler); }
    // Enables following change events; `choose` picks the types to read and
    // runs on the clipboard's reader thread. Set before start().
    void setOfferCapture(Clipboard::TypeChooser choose, OfferCapture capture);
    // Follows change events when the clipboard offers them, else polls.
    void start() override;

    // One poll step (the timer's work; public for tests).
    void tick();

    qint64 lastChangeCount() const { return m_lastChangeCount; }
    bool isCoalescing() const { return m_isCoalescing; }
    bool followsEvents() const { return m_followsEvents; }
    // Offers received whose clip is not handed over yet.
    int pendingOffers() const { return int(m_offers.size()); }

private:
    struct PendingOffer;
    void captureNow();
    void onOffer(const ClipboardOffer &offer);
    void handOver();
    // The current clip's owner quit: log it and hand the clip back (m_current set).
    void handBackLostContent();

    Clipboard &m_clipboard;
    Clock &m_clock;
    Capture m_capture;
    std::optional<Clock::TimerId> m_timer;
    qint64 m_lastChangeCount = 0;
    double m_lastTriggerTime = 0;
    bool m_isCoalescing = false;
    bool m_started = false;
    NewItemHandler m_onNewItem;
    IgnoreHandler m_shouldIgnore;
    OwnerGoneHandler m_onOwnerGone;
    // The last captured clip while its content is still the clipboard's.
    std::optional<ClipboardItem> m_current;

    Clipboard::TypeChooser m_choose;
    OfferCapture m_offerCapture;
    bool m_followsEvents = false;
    qint64 m_offerCount = 0;
    std::deque<std::shared_ptr<PendingOffer>> m_offers; // in the order received
    bool m_handingOver = false;
};
