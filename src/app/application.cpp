#include "application.h"

#include <cstdio>
#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QJsonObject>
#include <QTimer>

#include "accessibilitysettingsopener.h"
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
#include "paste/capturepastewiring.h"
#include "cards/quicklookhelper.h"
#include "overlay/overlaypanel.h"
#include "overlay/overlaywindowcontroller.h"
#include "paste/pasteback.h"
#include "platform/x11/x11outsideclickwatcher.h"
#include "platform/x11/x11panelwindowhints.h"
#include "platform/appid.h"
#include "platform/logger.h"
#include "platform/systemclock.h"
#include "platform/userdefaults.h"
#include "platform/x11/x11globalshortcutservice.h"
#include "platform/x11/detachedsettingslauncher.h"
#include "platform/x11/xdgautostartitem.h"
#include "settingswindowcontroller.h"
#include "shellcontext.h"
#include "soundlibrary.h"
#include "soundmanager.h"
#include "statusitem.h"
#include "store/capturesource.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// How long a client waits for the running instance: long when a live process
// holds the lock (it may still be starting), short when nothing seems to run.
int replyTimeoutMs(const QString &lockPath)
{
    return InstanceChannel::isLockHeld(lockPath) ? 8000 : 400;
}

int printReply(const std::optional<QJsonObject> &json)
{
    if (!json) {
        print(stderr, QStringLiteral("Bramblet n’est pas lancé. Lancez-le d’abord avec « bramblet ».\n"));
        return CliCommand::ExitNotRunning;
    }
    const InstanceReply reply = InstanceReply::fromJson(*json);
    print(stdout, reply.out);
    print(stderr, reply.err);
    return reply.exitCode;
}

// A command for the running instance: nothing of the GUI is built here.
int runClient(int argc, char **argv, const CliCommand &command)
{
    QCoreApplication app(argc, argv);
    const QString lockPath = InstanceChannel::defaultLockPath();
    return printReply(InstanceChannel::send(InstanceChannel::defaultSocketPath(), command.toRequest(),
                                            replyTimeoutMs(lockPath)));
}

int runPrimary(int argc, char **argv)
{
    // Taken before anything reads the history: two instances never share it.
    auto channel = std::make_unique<InstanceChannel>();
    if (!channel->tryLock()) {
        QCoreApplication client(argc, argv);
        CliCommand settings;
        settings.kind = CliCommand::Kind::Settings;
        const auto reply = InstanceChannel::send(channel->socketPath(), settings.toRequest(), 8000);
        if (!reply) {
            print(stderr, QStringLiteral("Bramblet tourne déjà mais ne répond pas.\n"));
            return CliCommand::ExitFailed;
        }
        return printReply(reply);
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(kAppName));
    QApplication::setDesktopFileName(QLatin1String(kAppId));
    QApplication::setQuitOnLastWindowClosed(false);
    channel->setParent(&app);
    InstanceChannel *instance = channel.release();

    Clock &clock = SystemClock::instance();
    UserDefaults &defaults = UserDefaults::shared();

    // 1. Sound, then the store: the store starts its watcher, so capture runs from here on.
    static SoundLibrary soundLibrary;
    auto *soundOutput = new MultimediaSoundOutput(&app);
    static SoundManager sound(defaults, soundLibrary, [soundOutput](const QUrl &url) { soundOutput->play(url); });
    SoundManager::setShared(&sound);

    static HistoryFiles files;
    std::unique_ptr<CaptureSource> watcher;
    // Writes a clip to the clipboard for `bramblet copy`; set by the capture wiring.
    std::function<bool(const ClipboardItem &)> writeClipboard;
    // Whether input synthesis (the paste keys) is allowed; set by the capture wiring.
    std::function<bool()> isTrusted;
    // Rings the desktop's bell; set by the capture wiring.
    std::function<void()> beep;
    {
        CapturePasteWiring::Parts capturePaste = CapturePasteWiring::build(&app, clock);
        watcher = std::move(capturePaste.watcher);
        writeClipboard = std::move(capturePaste.writeClipboard);
        isTrusted = std::move(capturePaste.isTrusted);
        beep = std::move(capturePaste.beep);
    }
    auto *store = new ClipboardStore(files, clock, defaults, sound, std::move(watcher), &app);
    ClipboardStoreInjector::shared().store = store;
    // Saving runs on a worker; the last change reaches the disk before we go.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, store, [store] { store->waitForPendingWrite(); });

    // 2. An accessory: no window of ours appears in taskbars or pagers (the
    // tray panel is a popup; the overlay and the settings window get hints).

    // 3. The global shortcut.
    std::function<void()> toggleOverlay;
    std::function<QWidget *(QWidget *)> makeShortcutRecorder;
    static X11GlobalShortcutService shortcutService;
    static HotKeysController hotKeys(shortcutService);
    // The overlay controller is reached at key-down time: the panel is built below.
    HotKeyManager::createShared(hotKeys, defaults, [] { OverlayWindowController::shared().toggle(); });
    makeShortcutRecorder = [](QWidget *parent) -> QWidget * {
        return new ShortcutRecorder(HotKeyManager::shared(), parent);
    };

    // 4. The overlay, built hidden.
    {
        static X11PanelWindowHints panelHints;
        static X11OutsideClickWatcher outsideClicks;
        OverlayWindowController &overlay = OverlayWindowController::shared();
        overlay.setWindowHints(&panelHints);
        overlay.setOutsideClickWatcher(&outsideClicks);
        if (PasteBack *pasteBack = PasteBack::shared()) {
            overlay.setActiveWindow(&pasteBack->activeWindow());
            pasteBack->setHooks({[] { OverlayWindowController::shared().hide(); },
                                 [] { return OverlayWindowController::shared().lastActiveWindow(); }});
        }
        overlay.setPasteHandler([](const ClipboardItem &item) {
            if (PasteBack *pasteBack = PasteBack::shared())
                pasteBack->paste(item);
        });
        QuickLookHelper::shared().setSourceFrameProvider([] {
            const QWidget *panel = OverlayWindowController::shared().panel();
            return panel ? panel->frameGeometry() : QRect();
        });
        overlay.setPreviewHooks({[] { return QuickLookHelper::shared().isVisible(); },
                                 [](const ClipboardItem &item) { QuickLookHelper::shared().show(item); },
                                 [] { QuickLookHelper::shared().close(); }});
        overlay.buildPanel(*store, clock);
        toggleOverlay = [] { OverlayWindowController::shared().toggle(); };
    }

    // 5. The shell: retention, tray, menu commands, settings, the instance socket.
    auto *retention = new HistoryRetention(*store, defaults, clock, &app);
    retention->start();

    static XdgAutostartItem loginItem(QCoreApplication::applicationFilePath());
    static DetachedSettingsLauncher settingsLauncher;
    static AccessibilitySettingsOpener opener(settingsLauncher, clock, &app);

    static ShellContext context;
    context.store = store;
    context.sound = &sound;
    context.loginItem = &loginItem;
    context.retention = retention;
    context.accessibilityOpener = &opener;
    context.clock = &clock;
    context.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    context.isTrusted = isTrusted;
    context.toggleOverlay = toggleOverlay;
    context.beep = beep ? beep : [] { QApplication::beep(); };
    context.makeShortcutRecorder = makeShortcutRecorder;
    static X11PanelWindowHints accessoryHints(X11PanelWindowHints::Kind::Accessory);
    context.applyAccessoryHints = [](QWindow *window) { accessoryHints.apply(window); };
    context.quit = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); };

    static SettingsWindowController *settingsController = nullptr;
    context.openSettings = [] {
        if (settingsController)
            settingsController->show();
    };
    auto *commands = new KeyboardCommands(*store, context.openSettings, &app);
    // The "Sélection" commands answer inside the overlay too, not only in the settings window.
    if (QWidget *overlayPanel = OverlayWindowController::shared().panel())
        overlayPanel->addActions({commands->selectAllAction(), commands->deleteSelectionAction()});
    settingsController = new SettingsWindowController(context, commands, &app);
    SettingsWindowController::setShared(settingsController);

    auto *panel = new MenuBarView(context);
    commands->attachSettingsShortcut(panel);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, panel, [panel] { delete panel; });
    auto *statusItem = new StatusItem([panel](const QRect &anchor) {
        if (panel->isVisible())
            panel->hide();
        else
            panel->popUp(anchor);
    }, &app);
    statusItem->show();

    auto *handler = new InstanceCommandHandler(
        *store, {context.toggleOverlay, context.openSettings, context.quit, writeClipboard});
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [handler] { delete handler; });
    instance->listen([handler](const QJsonObject &request) {
        return handler->handle(CliCommand::fromRequest(request)).toJson();
    });

    // 6. The settings window opens at every launch, once start-up is done.
    QTimer::singleShot(0, settingsController, [] { settingsController->show(); });

    return app.exec();
}

} // namespace

namespace Application {

int run(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CliCommand command = CliCommand::parse(arguments);
    switch (command.kind) {
    case CliCommand::Kind::Help:
        print(stdout, CliCommand::helpText());
        return CliCommand::ExitOk;
    case CliCommand::Kind::Version:
        print(stdout, CliCommand::versionText());
        return CliCommand::ExitOk;
    case CliCommand::Kind::Invalid:
        print(stderr, command.error + QStringLiteral("\nEssayez « bramblet --help ».\n"));
        return CliCommand::ExitUsage;
    case CliCommand::Kind::Start:
        return runPrimary(argc, argv);
    default:
        return runClient(argc, argv, command);
    }
}

} // namespace Application
