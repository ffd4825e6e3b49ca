#pragma once

#include <memory>

#include <QTemporaryDir>

#include "model/clipboardfolder.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"
#include "support/clipsamples.h"
#include "support/memoryhistoryfiles.h"

// A store over an in-memory history (writes are counted, not performed),
// with a fake clock, for the overlay's widget tests.
class StoreFixture
{
public:
    StoreFixture();
    ~StoreFixture();

    // A fresh store holding `items` and `folders`.
    ClipboardStore &makeStore(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders = {});

    // A sample text clip created `age` seconds before the clock's now.
    ClipboardItem textClip(const QString &text, double age = 0, std::optional<QUuid> folder = std::nullopt) const;
    static ClipboardFolder folder(const QString &name) { return {QUuid::createUuid(), name, 0}; }
    // `n` text clips "clip 0" (newest) ... "clip n-1".
    QList<ClipboardItem> textClips(int n) const;

    QTemporaryDir tmp;
    FakeClock clock;
    MemoryHistoryFiles files;
    UserDefaults defaults;
    FakeSoundPlayer sound;
    std::unique_ptr<ClipboardStore> store;
};
