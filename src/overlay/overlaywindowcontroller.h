#pragma once

#include <functional>
#include <optional>

#include <QEvent>
#include <QObject>
#include <QPointer>

#include "model/clipboarditem.h"
#include "platform/windowref.h"

class ActiveWindow;
class Clock;
class ClipboardStore;
class OutsideClickWatcher;
class OverlayPanel;
class OverlayRootView;
class PanelWindowHints;

// The one controller of the overlay panel: builds it once, shows and hides it
// on the global shortcut, remembers the window that was in front so focus and
// the paste can go back to it, hides on a click outside, and runs the panel's
// keyboard commands. Main thread only.
class OverlayWindowController final : public QObject
{
    Q_OBJECT

public:
    // The clip preview, reached through hooks so the panel works without it.
    // Every hook may be left empty: the step it serves is skipped.
    struct PreviewHooks
    {
        std::function<bool()> isVisible;
        std::function<void(const ClipboardItem &)> show;
        std::function<void()> close;
    };

    static constexpr double kKeyDelaySeconds = 0.05;
    static constexpr double kPasteDelaySeconds = 0.12;

    explicit OverlayWindowController(QObject *parent = nullptr);
    ~OverlayWindowController() override;

    // Builds the hidden panel around the overlay's root view for `store`.
    // Called once at start-up; later calls are ignored. `store` and `clock`
    // must outlive the controller.
    void buildPanel(ClipboardStore &store, Clock &clock);
    bool isBuilt() const { return m_panel != nullptr; }

    // --- collaborators (each optional, each must outlive the controller) ---
    // Window-manager hints for the panel (all workspaces, above, no taskbar).
    void setWindowHints(PanelWindowHints *hints);
    // Presses anywhere on the desktop; without it (or when it cannot watch)
    // the panel hides when it loses the focus to another program.
    void setOutsideClickWatcher(OutsideClickWatcher *watcher) { m_clickWatcher = watcher; }
    // Remembers the frontmost window at show time and re-activates it on choose.
    void setActiveWindow(ActiveWindow *activeWindow) { m_activeWindow = activeWindow; }
    // Pastes a chosen clip (0.12 s after choosing).
    void setPasteHandler(std::function<void(const ClipboardItem &)> paste) { m_paste = std::move(paste); }
    void setPreviewHooks(PreviewHooks hooks) { m_preview = std::move(hooks); }

    // Shows the panel when hidden, hides it when shown. Does nothing before
    // buildPanel().
    void toggle();
    // Remembers the frontmost window, places the panel 2 px inside the
    // bottom, left and right edges of the available area of the screen under
    // the pointer, shows it, selects the first visible clip when nothing is
    // selected, gives the panel the keyboard focus (again 0.05 s later) and
    // installs the watches. Does nothing before buildPanel() or when visible.
    void show();
    // Removes the watches, hides the panel and closes a preview.
    void hide();
    bool isVisible() const;

    // Moves `item` to the top, keeps the coming clipboard write out of the
    // history, hides the panel, re-activates the remembered window and
    // pastes 0.12 s later.
    void choose(const ClipboardItem &item);

    // The window that was frontmost when the panel was last shown.
    std::optional<WindowRef> lastActiveWindow() const { return m_lastActiveWindow; }

    // The panel's keyboard commands; returns true when `key` was handled:
    // Return/Enter choose the selected (else first) clip, Space toggles the
    // preview of the selected clip, Ctrl+A selects all, Ctrl+F toggles the
    // search, Backspace/Delete delete the selection, Left/Right move it,
    // Escape empties the search query or else hides.
    bool handleKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // True when a text field of this program has the keyboard focus: the
    // panel's commands then leave the keys alone.
    static bool isTextInputActive();

    // The watches that are up while the panel is shown: presses outside the
    // panel and the program-wide key filter. Installed and removed together.
    void installMonitors();
    void removeMonitors();
    bool monitorsInstalled() const { return m_monitorsInstalled; }
    // What the click watch does with a press at `globalPos`: hides the panel
    // unless the press is inside it or inside another window of this program.
    void handleOutsidePress(const QPoint &globalPos);

    OverlayPanel *panel() const { return m_panel; }
    OverlayRootView *rootView() const { return m_root; }
    ClipboardStore *store() const { return m_store; }

signals:
    void shown();
    void hidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool wouldHandle(int key, Qt::KeyboardModifiers modifiers) const;
    void onPanelDeactivated();

    QPointer<OverlayPanel> m_panel;
    OverlayRootView *m_root = nullptr;
    ClipboardStore *m_store = nullptr;
    Clock *m_clock = nullptr;
    PanelWindowHints *m_hints = nullptr;
    OutsideClickWatcher *m_clickWatcher = nullptr;
    ActiveWindow *m_activeWindow = nullptr;
    std::function<void(const ClipboardItem &)> m_paste;
    PreviewHooks m_preview;
    std::optional<WindowRef> m_lastActiveWindow;
    bool m_monitorsInstalled = false;
    bool m_watchingClicks = false;
    const QEvent *m_decidedKey = nullptr; // identity only, never dereferenced
    QEvent::Type m_decidedType = QEvent::None;
};
