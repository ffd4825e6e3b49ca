#pragma once

#include <functional>
#include <optional>

#include <QObject>

#include "model/clipboarditem.h"
#include "platform/clock.h"
#include "store/capturesource.h"

class Clipboard;

// Polls the clipboard's change count every kPollSeconds and, kSettleSeconds
// after an accepted change, has the content turned into one clip for its
// owner. A change within kAbsorbSeconds of the last accepted one, or while a
// capture is pending, is absorbed. Our own writes (marked content) are never
// captured: the owner's shouldIgnore is asked about them only, so a pending
// "ignore the next change" cannot swallow a real copy by someone else.
// When the owner of a captured content quits and leaves the clipboard empty,
// the clip goes to the owner-gone handler (which may put it back).
// Main thread only.
class ClipboardWatcher final : public QObject, public CaptureSource
{
    Q_OBJECT

public:
    using Capture = std::function<std::optional<ClipboardItem>()>;
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
    void start() override;

    // One poll step (the timer's work; public for tests).
    void tick();

    qint64 lastChangeCount() const { return m_lastChangeCount; }
    bool isCoalescing() const { return m_isCoalescing; }

private:
    void captureNow();

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
};
