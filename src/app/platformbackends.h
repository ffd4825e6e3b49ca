#pragma once

#include <memory>

class ActiveWindow;
class Beeper;
class Clipboard;
class FileIcons;
class GlobalShortcutService;
class InputSynthesizer;
class LoginItem;
class OutsideClickWatcher;
class PanelWindowHints;
class SettingsLauncher;
class UserDefaults;

// Every platform service the program uses, made in this one place and handed
// on as interfaces: nothing else picks a backend. Built for the display Qt
// runs on, X11 (XWayland included), with the clipboard, the paste keys and
// the window in front on the compositor's own protocols in a Wayland session
// that offers them, and the global shortcut and (without the compositor's
// virtual keyboard) the paste keys through the desktop portal where it offers
// them (see InputBackendChoice). Start-up lines name each choice. Needs the
// QGuiApplication and must be destroyed before it; its users must be
// destroyed before it. Members go in reverse order of declaration.
struct PlatformBackends final
{
    // The backends for the running session; `defaults` keeps the portal's
    // restore token and must outlive them.
    static std::unique_ptr<PlatformBackends> create(UserDefaults &defaults);

    PlatformBackends();
    ~PlatformBackends();
    PlatformBackends(const PlatformBackends &) = delete;
    PlatformBackends &operator=(const PlatformBackends &) = delete;

    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<ActiveWindow> activeWindow;
    // When another service sends the paste keys, or none can: the X11 one,
    // kept for its paste-by-hand prompt (empty otherwise).
    std::unique_ptr<InputSynthesizer> handPastePrompt;
    std::unique_ptr<InputSynthesizer> input;
    std::unique_ptr<Beeper> beeper;
    std::unique_ptr<FileIcons> fileIcons;
    std::unique_ptr<GlobalShortcutService> globalShortcuts;
    // Hints for the overlay panel (all workspaces, above, no taskbar).
    std::unique_ptr<PanelWindowHints> panelHints;
    // Hints for our other windows: out of taskbars and pagers.
    std::unique_ptr<PanelWindowHints> accessoryHints;
    std::unique_ptr<OutsideClickWatcher> outsideClicks;
    std::unique_ptr<LoginItem> loginItem;
    std::unique_ptr<SettingsLauncher> settingsLauncher;
    // The desktop, not this program, owns the global shortcut (Wayland
    // without a shortcut portal): the views say so.
    bool shortcutOwnedByDesktop = false;
};
