#include "inputbackendchoice.h"

#include <QtGlobal>

#include "platform/portal/portalglobalshortcutservice.h"
#include "platform/portal/portalinputsynthesizer.h"

namespace InputBackendChoice {

Choice choose(const Offer &offer)
{
    Choice choice;
    if (!offer.wayland) {
        choice.shortcut = Shortcut::X11KeyGrab;
        choice.shortcutLine = QStringLiteral("Platform: shortcut via X11 key grabs (X11 session)");
        choice.paste = Paste::XTest;
        choice.pasteLine = QStringLiteral("Platform: paste keys via XTEST (X11 session)");
        return choice;
    }

    if (offer.globalShortcutsPortal) {
        choice.shortcut = Shortcut::GlobalShortcutsPortal;
        choice.shortcutLine =
            QStringLiteral("Platform: shortcut via the GlobalShortcuts portal (Wayland session, portal version %1)")
                .arg(*offer.globalShortcutsPortal);
    } else {
        choice.shortcut = Shortcut::DesktopOwned;
        choice.shortcutLine = QStringLiteral("Platform: shortcut owned by the desktop (Wayland session without a "
                                             "GlobalShortcuts portal); bind it to \"bramblet toggle\" there");
    }

    if (offer.virtualKeyboard) {
        choice.paste = Paste::VirtualKeyboard;
        choice.pasteLine = QStringLiteral("Platform: paste keys via the virtual-keyboard protocol (Wayland session, "
                                          "offered by the compositor)");
    } else if (offer.remoteDesktopPortal) {
        choice.paste = Paste::RemoteDesktopPortal;
        choice.pasteLine = QStringLiteral("Platform: paste keys via the RemoteDesktop portal (Wayland session without "
                                          "the virtual-keyboard protocol, portal version %1)")
                               .arg(*offer.remoteDesktopPortal);
    } else {
        choice.paste = Paste::ByHand;
        choice.pasteLine = QStringLiteral("Platform: paste by hand (Wayland session with neither the virtual-keyboard "
                                          "protocol nor the RemoteDesktop portal)");
    }
    return choice;
}

bool isWaylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE").compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0 ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

Offer probe(bool virtualKeyboardOffered)
{
    Offer offer;
    offer.wayland = isWaylandSession();
    if (!offer.wayland)
        return offer;
    offer.virtualKeyboard = virtualKeyboardOffered;
    offer.globalShortcutsPortal = PortalGlobalShortcutService::offeredVersion();
    // Not asked when the compositor's keyboard is used: the portal may be slow to start.
    if (!offer.virtualKeyboard)
        offer.remoteDesktopPortal = PortalInputSynthesizer::offeredVersion();
    return offer;
}

} // namespace InputBackendChoice
