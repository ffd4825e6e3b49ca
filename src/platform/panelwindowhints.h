#pragma once

class QWindow;

// Window-manager hints that make a top-level window behave as a floating
// panel: shown on every workspace, above ordinary windows, kept out of
// taskbars and pagers. Main thread.
class PanelWindowHints
{
public:
    virtual ~PanelWindowHints() = default;
    PanelWindowHints() = default;
    PanelWindowHints(const PanelWindowHints &) = delete;
    PanelWindowHints &operator=(const PanelWindowHints &) = delete;

    // Applies the hints to `window` (which must have its native window
    // created), whether it is mapped or not. Does nothing when the window
    // system has no such hints.
    virtual void apply(QWindow *window) = 0;
};
