#pragma once

#include <QList>

#include "model/clipboardfolder.h"
#include "model/clipboarditem.h"
#include "store/historyfiles.h"

// Serves a preset history and records every save or write at once, on the
// caller's thread, instead of touching disk.
// Header-only, so the test support library itself need not link the store;
// tests that use it link bramblet_store (directly or through a library).
class MemoryHistoryFiles final : public HistoryFiles
{
public:
    using HistoryFiles::HistoryFiles;
    Loaded load() override { return preset; }
    void write(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders) override
    {
        ++writes;
        lastItems = items;
        lastFolders = folders;
    }
    void save(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders) override
    {
        write(items, folders);
    }
    void waitForPendingWrite() override {}

    // What load() returns.
    Loaded preset;
    // How many times save() or write() was called, and what the last call passed.
    int writes = 0;
    QList<ClipboardItem> lastItems;
    QList<ClipboardFolder> lastFolders;
};
