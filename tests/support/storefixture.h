#pragma once

#include <memory>

#include <QTemporaryDir>

#include "model/clipboardfolder.h"
#include "model/referencedate.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"
#include "support/clipsamples.h"
#include "support/memoryhistoryfiles.h"

// A store over an in-memory history (writes are counted, not performed),
// user defaults in a temporary folder and a fake clock, for widget tests.
// Header-only like MemoryHistoryFiles: tests that use it link bramblet_store.
class StoreFixture
{
public:
    StoreFixture() : files(tmp.path()), defaults(tmp.path() + QStringLiteral("/defaults.conf")) {}

    // A fresh store holding `items` and `folders`.
    ClipboardStore &makeStore(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders = {})
    {
        store.reset();
        files.preset = {items, folders};
        store = std::make_unique<ClipboardStore>(files, clock, defaults, player);
        return *store;
    }

    // A sample text clip created `age` seconds before the clock's now.
    ClipboardItem textClip(const QString &text, double age = 0, std::optional<QUuid> folder = std::nullopt) const
    {
        return ClipSamples::text(text, referenceDateFromUnix(clock.now()) - age, folder);
    }
    // `n` text clips "clip 0" (newest) ... "clip n-1".
    QList<ClipboardItem> textClips(int n) const
    {
        QList<ClipboardItem> out;
        for (int i = 0; i < n; ++i)
            out.append(textClip(QStringLiteral("clip %1").arg(i), i));
        return out;
    }
    static ClipboardFolder folder(const QString &name) { return {QUuid::createUuid(), name, 0}; }

    QTemporaryDir tmp;
    FakeClock clock;
    MemoryHistoryFiles files;
    UserDefaults defaults;
    FakeSoundPlayer player;
    std::unique_ptr<ClipboardStore> store;
};
