#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

#include "model/clipboarditem.h"

class Clock;
class ClipboardStore;
class OverlayPanel;
class QKeyEvent;

// The one controller of the overlay panel: builds it once, shows and hides it
// on the global shortcut, remembers the window that was in front so focus and
// the paste can go back to it, hides on a click outside, and runs the panel's
// keyboard commands. Main thread only.
class OverlayWindowController final : public QObject
{
    Q_OBJECT

public:
    // Where the controller reaches services owned by other parts of the
    // program. Every hook may be left empty: the step it serves is skipped.
    struct Hooks
    {
        std::function<void()> rememberFrontmost;              // at show time
        std::function<void()> reactivatePrevious;             // when a clip is chosen
        std::function<void(const ClipboardItem &)> paste;     // 0.12 s after choosing
        std::function<bool()> previewAvailable;               // a preview panel exists
        std::function<bool()> previewVisible;
        std::function<void(const ClipboardItem &)> showPreview;
        std::function<void()> closePreview;
    };

    // The process-wide controller, created on first use, never destroyed.
    static OverlayWindowController &shared();

    // Tests build their own controllers; production uses shared().
    explicit OverlayWindowController(QObject *parent = nullptr);
    ~OverlayWindowController() override;

    // Builds the hidden panel around the overlay's root view for `store`.
    // Called once at start-up; later calls are ignored. `store` and `clock`
    // must outlive the controller.
    void buildPanel(ClipboardStore &store, Clock &clock);
    bool isBuilt() const { return m_panel != nullptr; }
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Shows the panel when hidden, hides it when shown. Does nothing before
    // buildPanel().
    void toggle();
    // Places the panel on the screen under the pointer, shows it, gives it
    // the keyboard focus and selects the first visible clip when nothing is
    // selected. Does nothing before buildPanel() or when already visible.
    void show();
    // Removes the click and key watches, hides the panel and closes a preview.
    void hide();
    bool isVisible() const;

    // Moves `item` to the top, keeps the coming clipboard write out of the
    // history, hides the panel, re-activates the previous window and pastes
    // 0.12 s later.
    void choose(const ClipboardItem &item);

    // The panel's keyboard commands; returns true when `key` was handled.
    bool handleKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // True when a text field of this program has the keyboard focus: the
    // panel's commands then leave the keys alone.
    static bool isTextInputActive();

    // The watches that are up while the panel is shown: a click outside the
    // panel and the application-wide key filter. Installed and removed as a pair.
    void installMonitors();
    void removeMonitors();
    bool monitorsInstalled() const { return m_monitorsInstalled; }

    OverlayPanel *panel() const { return m_panel; }
    ClipboardStore *store() const { return m_store; }

signals:
    void shown();
    void hidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<OverlayPanel> m_panel;
    ClipboardStore *m_store = nullptr;
    Clock *m_clock = nullptr;
    Hooks m_hooks;
    bool m_monitorsInstalled = false;
};
