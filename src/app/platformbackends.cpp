#include "platformbackends.h"

#include <QCoreApplication>

#include "platform/activewindow.h"
#include "platform/beeper.h"
#include "platform/clipboard.h"
#include "platform/fileicons.h"
#include "platform/globalshortcutservice.h"
#include "platform/inputsynthesizer.h"
#include "platform/loginitem.h"
#include "platform/outsideclickwatcher.h"
#include "platform/panelwindowhints.h"
#include "platform/settingslauncher.h"
#include "platform/x11/detachedsettingslauncher.h"
#include "platform/x11/x11activewindow.h"
#include "platform/x11/x11beeper.h"
#include "platform/x11/x11clipboard.h"
#include "platform/x11/x11fileicons.h"
#include "platform/x11/x11globalshortcutservice.h"
#include "platform/x11/x11inputsynthesizer.h"
#include "platform/x11/x11outsideclickwatcher.h"
#include "platform/x11/x11panelwindowhints.h"
#include "platform/x11/xdgautostartitem.h"

PlatformBackends::PlatformBackends() = default;
PlatformBackends::~PlatformBackends() = default;

std::unique_ptr<PlatformBackends> PlatformBackends::create()
{
    auto backends = std::make_unique<PlatformBackends>();
    backends->clipboard = std::make_unique<X11Clipboard>();
    backends->activeWindow = std::make_unique<X11ActiveWindow>();
    backends->input = std::make_unique<X11InputSynthesizer>();
    backends->beeper = std::make_unique<X11Beeper>();
    backends->fileIcons = std::make_unique<X11FileIcons>();
    backends->globalShortcuts = std::make_unique<X11GlobalShortcutService>();
    backends->panelHints = std::make_unique<X11PanelWindowHints>(X11PanelWindowHints::Kind::Panel);
    backends->accessoryHints = std::make_unique<X11PanelWindowHints>(X11PanelWindowHints::Kind::Accessory);
    backends->outsideClicks = std::make_unique<X11OutsideClickWatcher>();
    backends->loginItem = std::make_unique<XdgAutostartItem>(QCoreApplication::applicationFilePath());
    backends->settingsLauncher = std::make_unique<DetachedSettingsLauncher>();
    return backends;
}
