#pragma once

#include <QList>
#include <QString>

#include "model/clipboarditem.h"
#include "model/clipboardfolder.h"

// The two history files, items.json and folders.json, in the data folder.
// Main thread only.
class HistoryFiles
{
public:
    struct Loaded {
        QList<ClipboardItem> items;
        QList<ClipboardFolder> folders;
    };

    // `directory` empty: $XDG_DATA_HOME/Bramblet (default ~/.local/share/Bramblet),
    // created with mode 0700 when missing.
    explicit HistoryFiles(const QString &directory = QString());
    virtual ~HistoryFiles();
    HistoryFiles(const HistoryFiles &) = delete;
    HistoryFiles &operator=(const HistoryFiles &) = delete;

    QString directory() const { return m_directory; }
    QString itemsPath() const;
    QString foldersPath() const;

    // Reads both files. Never fails: a missing file gives an empty list; an
    // unreadable one keeps every record that decodes, is copied aside under
    // "<name>.unreadable-<UTC timestamp>" and logged at error level.
    virtual Loaded load();

    // Writes both files atomically (temporary file, fsync, rename, fsync of the
    // folder), mode 0600. A failure keeps the previous file and logs an error;
    // the next successful write catches up.
    virtual void write(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders);

private:
    struct Cache;
    QString m_directory;
    Cache *m_cache = nullptr;
};
