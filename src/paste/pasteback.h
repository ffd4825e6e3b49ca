#pragma once

#include <functional>
#include <optional>

#include <QObject>

#include "model/clipboarditem.h"
#include "platform/windowref.h"

class ActiveWindow;
class Beeper;
class Clipboard;
class ClipboardStore;
class Clock;
class InputSynthesizer;

// Puts a chosen clip into the window the user was working in: writes it to
// the clipboard (marked as our own, so it is never captured), re-activates
// that window, waits for it to be frontmost and sends the paste chord
// (Ctrl+V, or Ctrl+Shift+V for terminals). Main thread only.
//
// Typical caller (the overlay's choose step): remember activeWindow().frontmost()
// when showing, then on choose: store.suppressNextCapture(), hide, activate the
// remembered window, and 0.12 s later paste(item).
class PasteBack final : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        // Hides the overlay and anything it shows (monitors, preview). May be empty.
        std::function<void()> hideOverlay;
        // The window that was frontmost when the overlay was shown; empty
        // optional (or an empty hook) when none was recorded.
        std::function<std::optional<WindowRef>()> lastActiveWindow;
    };

    static constexpr int kFrontmostRetries = 8;
    static constexpr double kFrontmostDelaySeconds = 0.08;

    // The collaborators must outlive this object.
    PasteBack(ClipboardStore &store, Clipboard &clipboard, ActiveWindow &activeWindow,
              InputSynthesizer &input, Beeper &beeper, Clock &clock, QObject *parent = nullptr);
    ~PasteBack() override;

    void setHooks(Hooks hooks);

    // Writes `item` to the clipboard by kind and pastes it into the last
    // active window. Without input permission: logs, prompts, beeps, writes
    // nothing and withdraws the store's pending capture suppression.
    void paste(const ClipboardItem &item);

    // Whether synthetic input is allowed (logged at debug level).
    bool isInputSynthesisAllowed() const;

    // The platform services this paste uses, for callers that remember and
    // re-activate the frontmost window or ask for the permission.
    ActiveWindow &activeWindow() const { return m_activeWindow; }
    InputSynthesizer &inputSynthesizer() const { return m_input; }

private:
    void pasteWhenFrontmost(int retries, double delay, std::optional<WindowRef> target);
    void sendPaste(const std::optional<WindowRef> &front);
    void writeItem(const ClipboardItem &item);
    void writeTextOrBytes(const ClipboardItem &item);

    ClipboardStore &m_store;
    Clipboard &m_clipboard;
    ActiveWindow &m_activeWindow;
    InputSynthesizer &m_input;
    Beeper &m_beeper;
    Clock &m_clock;
    Hooks m_hooks;
};
