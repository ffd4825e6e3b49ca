#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "model/clipboarditem.h"
#include "shellcontext.h"
#include "soundlibrary.h"
#include "store/historyfiles.h"

class AccessibilitySettingsOpener;
class ClipboardStore;
class Clock;
class HistoryRetention;
class HotKeyManager;
class HotKeysController;
class InstanceChannel;
class InstanceCommandHandler;
class KeyboardCommands;
class MenuBarView;
class MultimediaSoundOutput;
class OverlayWindowController;
class PasteBack;
class PreviewHelper;
class SettingsWindowController;
class SoundManager;
class StatusItem;
class UserDefaults;
struct PlatformBackends;

// The composition root of the running program: owns every long-lived object
// in one place, builds them in start-up order (sound, store and capture,
// paste-back, the shortcut, the overlay, then the shell and the instance
// socket) and destroys them in reverse order. Everything that calls the store
// (watcher, timers, views, the socket handler) goes before the store, the
// store before the platform backends, and all of it before the QApplication,
// which must exist for the root's whole life. Each object is handed what it
// uses by constructor or setter; only the cards' process-wide caches of
// derived pictures and colours are reached without an owner.
class AppRoot final
{
public:
    // `channel` holds the single-instance lock; the root answers on its socket.
    AppRoot(std::unique_ptr<InstanceChannel> channel, Clock &clock, UserDefaults &defaults);
    ~AppRoot();
    AppRoot(const AppRoot &) = delete;
    AppRoot &operator=(const AppRoot &) = delete;

    // Schedules the settings window for the first turn of the event loop.
    void showSettingsWhenRunning();

    ClipboardStore &store() const { return *m_store; }

private:
    void buildSound();
    void buildStoreAndCapture();
    void buildShortcut();
    void buildOverlay();
    void buildShell();

    Clock &m_clock;
    UserDefaults &m_defaults;
    std::unique_ptr<InstanceChannel> m_channel;
    std::unique_ptr<PlatformBackends> m_platform;

    SoundLibrary m_soundLibrary;
    std::unique_ptr<MultimediaSoundOutput> m_soundOutput;
    std::unique_ptr<SoundManager> m_sound;

    HistoryFiles m_files;
    // Owns the capture objects the watcher calls: it outlives the store,
    // which owns the watcher.
    std::unique_ptr<QObject> m_captureOwner;
    std::unique_ptr<ClipboardStore> m_store;
    std::unique_ptr<PasteBack> m_pasteBack;

    std::unique_ptr<HotKeysController> m_hotKeys;
    std::unique_ptr<HotKeyManager> m_hotKeyManager;

    std::unique_ptr<PreviewHelper> m_previewHelper;
    std::unique_ptr<OverlayWindowController> m_overlay;

    std::unique_ptr<HistoryRetention> m_retention;
    // Owns the delayed steps of the accessibility opener.
    std::unique_ptr<QObject> m_openerScope;
    std::unique_ptr<AccessibilitySettingsOpener> m_opener;
    ShellContext m_context;
    std::unique_ptr<KeyboardCommands> m_commands;
    std::unique_ptr<SettingsWindowController> m_settings;
    std::unique_ptr<MenuBarView> m_panel;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<InstanceCommandHandler> m_commandHandler;

    std::function<bool(const ClipboardItem &)> m_writeClipboard;
};
