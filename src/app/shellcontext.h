#pragma once

class QWindow;

#include <functional>

#include <QString>

class AccessibilitySettingsOpener;
class ClipboardStore;
class Clock;
class HistoryRetention;
class LoginItem;
class QWidget;
class SoundManager;

// What the shell's views act on, handed to them by the composition root (or
// built by a test). Pointers are never null while a view exists; an empty
// function skips its step.
struct ShellContext
{
    ClipboardStore *store = nullptr;
    SoundManager *sound = nullptr;
    LoginItem *loginItem = nullptr;
    HistoryRetention *retention = nullptr;
    AccessibilitySettingsOpener *accessibilityOpener = nullptr;
    Clock *clock = nullptr;
    // $XDG_CURRENT_DESKTOP, for the accessibility settings plan.
    QString currentDesktop;
    // The desktop, not this program, owns the global shortcut (a session
    // where no shortcut service of ours works): the views say so instead of
    // offering the recorder.
    bool shortcutOwnedByDesktop = false;

    std::function<bool()> isTrusted;    // input synthesis allowed
    std::function<void()> toggleOverlay;
    std::function<void()> openSettings;
    std::function<void()> quit;
    std::function<void()> beep;
    // Keeps one of our windows out of taskbars and pagers (may be empty).
    std::function<void(QWindow *)> applyAccessoryHints;
    // Builds the shortcut recorder button for a row.
    std::function<QWidget *(QWidget *parent)> makeShortcutRecorder;
};
