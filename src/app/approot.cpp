#include "approot.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "accessibilitysettingsopener.h"
#include "cards/previewhelper.h"
#include "clicommand.h"
#include "historyretention.h"
#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/shortcutrecorder.h"
#include "instancechannel.h"
#include "instancecommandhandler.h"
#include "keyboardcommands.h"
#include "menubarview.h"
#include "multimediasoundoutput.h"
#include "overlay/overlaypanel.h"
#include "overlay/overlaywindowcontroller.h"
#include "paste/capturepastewiring.h"
#include "paste/pasteback.h"
#include "platform/panelwindowhints.h"
#include "platformbackends.h"
#include "settingswindowcontroller.h"
#include "soundmanager.h"
#include "statusitem.h"
#include "store/clipboardstore.h"

AppRoot::AppRoot(std::unique_ptr<InstanceChannel> channel, Clock &clock, UserDefaults &defaults)
    : m_clock(clock)
    , m_defaults(defaults)
    , m_channel(std::move(channel))
    , m_platform(PlatformBackends::create(defaults))
{
    buildSound();
    buildStoreAndCapture();
    buildShortcut();
    buildOverlay();
    buildShell();
}

// The members go in reverse order of declaration.
AppRoot::~AppRoot() = default;

// 1. Sound: the store plays the copy sound.
void AppRoot::buildSound()
{
    m_soundOutput = std::make_unique<MultimediaSoundOutput>();
    MultimediaSoundOutput *output = m_soundOutput.get();
    m_sound = std::make_unique<SoundManager>(m_defaults, m_soundLibrary, [output](const QUrl &url) { output->play(url); });
}

// 2. The store: it starts its watcher, so capture runs from here on.
void AppRoot::buildStoreAndCapture()
{
    m_captureOwner = std::make_unique<QObject>();
    PlatformBackends &platform = *m_platform;
    // A file's thumbnail comes after its clip is stored, so it goes to the
    // store made below; none once the store is gone.
    auto thumbnailTarget = std::make_shared<QPointer<ClipboardStore>>();
    CapturePasteWiring::Parts parts = CapturePasteWiring::build(
        m_captureOwner.get(), m_clock,
        {*platform.clipboard, *platform.activeWindow, *platform.input, *platform.beeper, *platform.fileIcons},
        [thumbnailTarget](const QUuid &id, const QByteArray &png) {
            if (ClipboardStore *store = *thumbnailTarget)
                store->updateThumbnail(id, png);
        });
    m_writeClipboard = std::move(parts.writeClipboard);
    m_context.isTrusted = std::move(parts.isTrusted);
    m_context.beep = parts.beep ? std::move(parts.beep) : [] { QApplication::beep(); };

    m_store = std::make_unique<ClipboardStore>(m_files, m_clock, m_defaults, *m_sound, std::move(parts.watcher));
    *thumbnailTarget = m_store.get();

    m_pasteBack = std::make_unique<PasteBack>(*m_store, *platform.clipboard, *platform.activeWindow, *platform.input,
                                              *platform.beeper, m_clock);
}

// 3. The global shortcut. The overlay it toggles is built next; the key-down
// reaches it through the root.
void AppRoot::buildShortcut()
{
    m_hotKeys = std::make_unique<HotKeysController>(*m_platform->globalShortcuts);
    m_hotKeyManager = std::make_unique<HotKeyManager>(*m_hotKeys, m_defaults, [this] {
        if (m_overlay)
            m_overlay->toggle();
    });
}

// 4. The overlay, built hidden, with its preview.
void AppRoot::buildOverlay()
{
    m_previewHelper = std::make_unique<PreviewHelper>(QDir::tempPath());
    m_overlay = std::make_unique<OverlayWindowController>();

    OverlayWindowController &overlay = *m_overlay;
    PreviewHelper &previewHelper = *m_previewHelper;
    PasteBack &pasteBack = *m_pasteBack;
    overlay.setWindowHints(m_platform->panelHints.get());
    overlay.setOutsideClickWatcher(m_platform->outsideClicks.get());
    overlay.setActiveWindow(&pasteBack.activeWindow());
    pasteBack.setHooks({[&overlay] { overlay.hide(); }, [&overlay] { return overlay.lastActiveWindow(); }});
    overlay.setPasteHandler([&pasteBack](const ClipboardItem &item) { pasteBack.paste(item); });
    previewHelper.setSourceFrameProvider([&overlay] {
        const QWidget *panel = overlay.panel();
        return panel ? panel->frameGeometry() : QRect();
    });
    overlay.setPreviewHooks({[&previewHelper] { return previewHelper.isVisible(); },
                             [&previewHelper](const ClipboardItem &item) { previewHelper.show(item); },
                             [&previewHelper] { previewHelper.close(); }});
    overlay.buildPanel(*m_store, m_clock);
}

// 5. The shell: retention, menu commands, settings, tray, the instance socket.
void AppRoot::buildShell()
{
    m_retention = std::make_unique<HistoryRetention>(*m_store, m_defaults, m_clock);
    m_retention->start();

    m_openerScope = std::make_unique<QObject>();
    m_opener = std::make_unique<AccessibilitySettingsOpener>(*m_platform->settingsLauncher, m_clock, m_openerScope.get());

    m_context.store = m_store.get();
    m_context.sound = m_sound.get();
    m_context.loginItem = m_platform->loginItem.get();
    m_context.retention = m_retention.get();
    m_context.accessibilityOpener = m_opener.get();
    m_context.clock = &m_clock;
    m_context.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    m_context.shortcutOwnedByDesktop = m_platform->shortcutOwnedByDesktop;
    m_context.toggleOverlay = [this] { m_overlay->toggle(); };
    m_context.makeShortcutRecorder = [this](QWidget *parent) -> QWidget * {
        return new ShortcutRecorder(*m_hotKeyManager, parent);
    };
    PanelWindowHints *accessoryHints = m_platform->accessoryHints.get();
    m_context.applyAccessoryHints = [accessoryHints](QWindow *window) { accessoryHints->apply(window); };
    // Queued: the caller (a button, a menu action, the socket) finishes first.
    // exit(), not quit(): quit() first asks every window to close and gives
    // up when one keeps itself open, as the preview window does.
    m_context.quit = [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); }); };
    m_context.openSettings = [this] {
        if (m_settings)
            m_settings->show();
    };

    m_commands = std::make_unique<KeyboardCommands>(*m_store, m_context.openSettings);
    // The "Sélection" commands answer inside the overlay too, not only in the settings window.
    if (QWidget *overlayPanel = m_overlay->panel())
        overlayPanel->addActions({m_commands->selectAllAction(), m_commands->deleteSelectionAction()});
    m_settings = std::make_unique<SettingsWindowController>(m_context, m_commands.get());

    m_panel = std::make_unique<MenuBarView>(m_context);
    m_commands->attachSettingsShortcut(m_panel.get());
    MenuBarView *panel = m_panel.get();
    m_statusItem = std::make_unique<StatusItem>([panel](const QRect &anchor) {
        if (panel->isVisible())
            panel->hide();
        else
            panel->popUp(anchor);
    });
    m_statusItem->show();

    m_commandHandler = std::make_unique<InstanceCommandHandler>(
        *m_store, InstanceCommandHandler::Actions{m_context.toggleOverlay, m_context.openSettings, m_context.quit,
                                                  m_writeClipboard});
    m_channel->listen([this](const QJsonObject &request) {
        if (!m_commandHandler)
            return QJsonObject();
        return m_commandHandler->handle(CliCommand::fromRequest(request)).toJson();
    });
}

void AppRoot::showSettingsWhenRunning()
{
    QTimer::singleShot(0, m_settings.get(), [this] { m_settings->show(); });
}
