#include "platformbackends.h"

#include <QCoreApplication>

#include "inputbackendchoice.h"
#include "platform/activewindow.h"
#include "platform/beeper.h"
#include "platform/clipboard.h"
#include "platform/fileicons.h"
#include "platform/globalshortcutservice.h"
#include "platform/handpasteinput.h"
#include "platform/inputsynthesizer.h"
#include "platform/logger.h"
#include "platform/loginitem.h"
#include "platform/outsideclickwatcher.h"
#include "platform/panelwindowhints.h"
#include "platform/portal/portalglobalshortcutservice.h"
#include "platform/portal/portalinputsynthesizer.h"
#include "platform/settingslauncher.h"
#include "platform/x11/detachedsettingslauncher.h"
#include "platform/x11/x11activewindow.h"
#include "platform/x11/x11beeper.h"
#include "platform/x11/x11clipboard.h"
#include "platform/x11/x11compositor.h"
#include "platform/x11/x11fileicons.h"
#include "platform/x11/x11globalshortcutservice.h"
#include "platform/x11/x11inputsynthesizer.h"
#include "platform/x11/x11outsideclickwatcher.h"
#include "platform/x11/x11panelwindowhints.h"
#include "platform/x11/xdgautostartitem.h"
#include "styling/glassmaterial.h"
#include "waylandbackends.h"

PlatformBackends::PlatformBackends() = default;
PlatformBackends::~PlatformBackends() = default;

std::unique_ptr<PlatformBackends> PlatformBackends::create(UserDefaults &defaults)
{
    auto backends = std::make_unique<PlatformBackends>();
    // In a Wayland session the compositor's own protocols serve what they
    // can; the rest goes through X11 (XWayland).
    WaylandBackends::Made native = WaylandBackends::make();
    Log::info(native.selection.logLine());
    using namespace InputBackendChoice;
    const Choice choice = choose(probe(native.input != nullptr));
    Log::info(choice.shortcutLine);
    // The compositor's keyboard and XTEST are named in the line above.
    if (choice.paste == Paste::RemoteDesktopPortal || choice.paste == Paste::ByHand)
        Log::info(choice.pasteLine);
    backends->clipboard = native.clipboard ? std::move(native.clipboard) : std::make_unique<X11Clipboard>();
    backends->activeWindow = native.activeWindow ? std::move(native.activeWindow) : std::make_unique<X11ActiveWindow>();
    if (native.input) {
        backends->input = std::move(native.input);
    } else if (choice.paste == Paste::RemoteDesktopPortal) {
        backends->handPastePrompt = std::make_unique<X11InputSynthesizer>();
        InputSynthesizer *handPaste = backends->handPastePrompt.get();
        auto portal = std::make_unique<PortalInputSynthesizer>(defaults, [handPaste] { handPaste->promptForTrust(); });
        portal->restore();
        backends->input = std::move(portal);
    } else if (choice.paste == Paste::ByHand) {
        // XTEST would reach XWayland windows only: the paste-by-hand prompt
        // says what to do instead of keys going nowhere.
        backends->handPastePrompt = std::make_unique<X11InputSynthesizer>();
        backends->input = std::make_unique<HandPasteInput>(*backends->handPastePrompt);
    } else {
        backends->input = std::make_unique<X11InputSynthesizer>();
    }
    backends->beeper = std::make_unique<X11Beeper>();
    backends->fileIcons = std::make_unique<X11FileIcons>();
    if (choice.shortcut == Shortcut::GlobalShortcutsPortal)
        backends->globalShortcuts =
            std::make_unique<PortalGlobalShortcutService>(QStringLiteral("Afficher ou masquer l’Overlay"));
    else
        backends->globalShortcuts = std::make_unique<X11GlobalShortcutService>();
    backends->shortcutOwnedByDesktop = choice.shortcut == Shortcut::DesktopOwned;
    backends->panelHints = std::make_unique<X11PanelWindowHints>(X11PanelWindowHints::Kind::Panel);
    backends->accessoryHints = std::make_unique<X11PanelWindowHints>(X11PanelWindowHints::Kind::Accessory);
    backends->outsideClicks = std::make_unique<X11OutsideClickWatcher>();
    backends->loginItem = std::make_unique<XdgAutostartItem>(QCoreApplication::applicationFilePath());
    backends->settingsLauncher = std::make_unique<DetachedSettingsLauncher>();
    GlassMaterial::setCompositorProbe(&X11Compositor::isRunning);
    return backends;
}
