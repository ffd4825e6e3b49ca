#pragma once

// The store fixture plus fake platform services, wired into a ShellContext
// the way the composition root wires the real ones.
#include <memory>

#include <QPushButton>

#include "app/accessibilitysettingsopener.h"
#include "app/historyretention.h"
#include "app/shellcontext.h"
#include "app/soundlibrary.h"
#include "app/soundmanager.h"
#include "platform/fake/fakeloginitem.h"
#include "platform/fake/fakesettingslauncher.h"
#include "support/storefixture.h"

// A sample text clip, pinned.
inline ClipboardItem pinnedClip(const QString &text, double createdAt = 0, std::optional<QUuid> folder = std::nullopt)
{
    ClipboardItem item = ClipSamples::text(text, createdAt, folder);
    item.pinned = true;
    return item;
}

class ShellFixture : public StoreFixture
{
public:
    ShellFixture()
        : library(tmp.path() + QStringLiteral("/sounds"))
        , sound(defaults, library, [this](const QUrl &url) { played.append(url); })
    {
    }

    // Builds the store over `items`/`folders`, then the context.
    ClipboardStore &start(const QList<ClipboardItem> &items = {}, const QList<ClipboardFolder> &folders = {})
    {
        makeStore(items, folders);
        retention = std::make_unique<HistoryRetention>(*store, defaults, clock);
        opener = std::make_unique<AccessibilitySettingsOpener>(launcher, clock, &openerContext);
        context.store = store.get();
        context.sound = &sound;
        context.loginItem = &loginItem;
        context.retention = retention.get();
        context.accessibilityOpener = opener.get();
        context.clock = &clock;
        context.currentDesktop = QStringLiteral("GNOME");
        context.isTrusted = [this] { return trusted; };
        context.toggleOverlay = [this] { ++toggles; };
        context.openSettings = [this] { ++settingsOpened; };
        context.quit = [this] { ++quits; };
        context.beep = [this] { ++beeps; };
        context.makeShortcutRecorder = [](QWidget *parent) -> QWidget * {
            return new QPushButton(QStringLiteral("⌘⇧V"), parent);
        };
        return *store;
    }

    SoundLibrary library;
    QList<QUrl> played;
    SoundManager sound;
    FakeLoginItem loginItem;
    FakeSettingsLauncher launcher;
    QObject openerContext;
    std::unique_ptr<HistoryRetention> retention;
    std::unique_ptr<AccessibilitySettingsOpener> opener;
    ShellContext context;
    bool trusted = true;
    int toggles = 0;
    int settingsOpened = 0;
    int quits = 0;
    int beeps = 0;
};
