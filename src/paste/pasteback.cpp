#include "pasteback.h"

#include <QPointer>

#include "paste/clipcontentbuilder.h"
#include "paste/terminalclasses.h"
#include "platform/activewindow.h"
#include "platform/beeper.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/inputsynthesizer.h"
#include "platform/logger.h"
#include "store/clipboardstore.h"

PasteBack::PasteBack(ClipboardStore &store, Clipboard &clipboard, ActiveWindow &activeWindow, InputSynthesizer &input,
                     Beeper &beeper, Clock &clock, QObject *parent)
    : QObject(parent), m_store(store), m_clipboard(clipboard), m_activeWindow(activeWindow), m_input(input),
      m_beeper(beeper), m_clock(clock)
{
}

PasteBack::~PasteBack() = default;

void PasteBack::setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

bool PasteBack::isInputSynthesisAllowed() const
{
    const bool trusted = m_input.isTrusted();
    Log::debug(QStringLiteral("Input synthesis allowed? %1").arg(trusted ? "true" : "false"));
    return trusted;
}

void PasteBack::paste(const ClipboardItem &item)
{
    Log::info(QStringLiteral("Paste: kind=%1 bytes=%2").arg(clipKindRawValue(item.kind)).arg(item.raw.size()));
    if (!isInputSynthesisAllowed()) {
        Log::error(QStringLiteral("Paste: input synthesis not allowed -> prompt"));
        // No synthetic keys here, but the clip still goes to the clipboard so
        // that the prompt's advice, pasting by hand, works. The write carries
        // our marker, which consumes the pending suppression.
        m_store.suppressNextCapture();
        writeItem(item);
        if (m_hooks.hideOverlay)
            m_hooks.hideOverlay();
        m_input.promptForTrust();
        m_beeper.beep();
        return;
    }

    m_store.suppressNextCapture();
    writeItem(item);

    if (m_hooks.hideOverlay)
        m_hooks.hideOverlay();
    std::optional<WindowRef> target = m_hooks.lastActiveWindow ? m_hooks.lastActiveWindow() : std::nullopt;
    if (target)
        m_activeWindow.activate(*target);
    pasteWhenFrontmost(kFrontmostRetries, kFrontmostDelaySeconds, target);
}

void PasteBack::writeItem(const ClipboardItem &item)
{
    const ClipContentBuilder::Result result = ClipContentBuilder::build(item);
    Log::debug(QStringLiteral("Paste: wrote to the clipboard"));
    // One write replaces the old content: clearing first would be a second,
    // separate clipboard change.
    m_clipboard.write(result.content);
    switch (result.rtf) {
    case ClipContentBuilder::RtfOutcome::Converted:
        Log::debug(QStringLiteral("Paste: RTF converted to plain text (%1 chars)").arg(result.rtfCharacters));
        break;
    case ClipContentBuilder::RtfOutcome::Fallback:
        Log::error(QStringLiteral("Paste: RTF parsing failed, using fallback"));
        break;
    case ClipContentBuilder::RtfOutcome::NotRtf:
        break;
    }
    if (result.imageUndecodable)
        Log::error(QStringLiteral("Paste: image data not decodable, clipboard left empty"));
}

void PasteBack::pasteWhenFrontmost(int retries, double delay, std::optional<WindowRef> target)
{
    const std::optional<WindowRef> front = m_activeWindow.frontmost();
    const QString frontName = front && !front->appId.isEmpty() ? front->appId : QStringLiteral("nil");
    Log::debug(QStringLiteral("Paste: frontmost=%1 retries=%2").arg(frontName).arg(retries));
    if (retries < 1) {
        Log::error(QStringLiteral("Paste: retries exhausted -> sendPaste"));
        sendPaste(front);
        return;
    }
    // With a remembered window, wait for that one: the key goes to whatever
    // has the focus, and right after our panel hides that may be nothing yet.
    const bool ready = target ? (front && front->id == target->id) : !(front && front->isOwn);
    if (!ready) {
        QPointer<PasteBack> self(this);
        m_clock.schedule(delay, this, [self, retries, delay, target] {
            if (self)
                self->pasteWhenFrontmost(retries - 1, delay, target);
        });
        return;
    }
    sendPaste(front);
}

void PasteBack::sendPaste(const std::optional<WindowRef> &front)
{
    const bool terminal = front && TerminalClasses::isTerminal(front->wmClass, front->wmInstance);
    Log::info(terminal ? QStringLiteral("Paste: SEND Ctrl+Shift+V") : QStringLiteral("Paste: SEND Ctrl+V"));
    m_input.sendPasteChord(terminal ? PasteChord::CtrlShiftV : PasteChord::CtrlV);
}
