#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// Which services carry the global shortcut and the paste keys, from what
// the session offers. X11 sessions keep X11 key grabs and XTEST. Under
// Wayland (where our windows still run on XWayland) the shortcut goes
// through the GlobalShortcuts portal when the portal offers it, else the
// desktop owns it (the user binds "bramblet toggle" there); the paste keys
// go through the compositor's virtual-keyboard protocol, else the
// RemoteDesktop portal, else the user pastes by hand. Used at the
// composition root only.
namespace InputBackendChoice {

enum class Shortcut { X11KeyGrab, GlobalShortcutsPortal, DesktopOwned };
enum class Paste { XTest, VirtualKeyboard, RemoteDesktopPortal, ByHand };

struct Offer {
    bool wayland = false;
    // Interface versions the desktop portal offers; none when absent.
    std::optional<uint32_t> globalShortcutsPortal;
    std::optional<uint32_t> remoteDesktopPortal;
    // The compositor offers zwp_virtual_keyboard_manager_v1.
    bool virtualKeyboard = false;
};

struct Choice {
    Shortcut shortcut = Shortcut::X11KeyGrab;
    Paste paste = Paste::XTest;
    // The start-up info lines naming each choice and why.
    QString shortcutLine;
    QString pasteLine;
};

Choice choose(const Offer &offer);

// A Wayland session: XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY is set.
bool isWaylandSession();

// What this session offers: the session type from the environment and,
// under Wayland only, the portal's interfaces (blocks up to two seconds per
// interface when the portal does not answer). The virtual-keyboard protocol
// is the Wayland connection's to find out; pass what it found.
Offer probe(bool virtualKeyboardOffered);

} // namespace InputBackendChoice
