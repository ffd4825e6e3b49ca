#pragma once

#include <memory>

#include <QList>
#include <QString>

#include "model/clipboarditem.h"
#include "model/clipboardfolder.h"

class HistoryWriter;

// The two history files, items.json and folders.json, in the data folder.
// load() and save() on the main thread; write() runs on the worker that
// save() feeds (or on the caller's thread when called directly), one call at
// a time.
class HistoryFiles
{
public:
    struct Loaded {
        QList<ClipboardItem> items;
        QList<ClipboardFolder> folders;
    };

    // `directory` empty: $XDG_DATA_HOME/Bramblet (default ~/.local/share/Bramblet),
    // created with mode 0700 when missing; an existing one open to others is
    // narrowed to 0700. A folder that cannot be made is logged; the history
    // then lives in memory and writes retry it.
    explicit HistoryFiles(const QString &directory = QString());
    // Waits for the pending write. A subclass that overrides write() must call
    // waitForPendingWrite() in its own destructor, before its parts go.
    virtual ~HistoryFiles();
    HistoryFiles(const HistoryFiles &) = delete;
    HistoryFiles &operator=(const HistoryFiles &) = delete;

    QString directory() const { return m_directory; }
    QString itemsPath() const;
    QString foldersPath() const;

    // Reads both files. Never fails: a missing file gives an empty list; an
    // unreadable one keeps every record that decodes, is copied aside under
    // "<name>.unreadable-<UTC timestamp>" and logged at error level. When no
    // copy can be made, that file is not overwritten for the life of this
    // object. Files are read in chunks: memory grows with the records, not
    // with the file, and no file size is refused. A large content (see
    // Payload) is not decoded: the clip keeps where its text lies in
    // items.json, which stays open for reading it on demand.
    virtual Loaded load();

    // Writes both files atomically (temporary "<name>.tmp", fsync, rename, fsync
    // of the folder), mode 0600. A file whose contents are unchanged and that
    // is still the one last written is left alone. A failure keeps the
    // previous file and logs one error line per call; the next successful
    // write catches up. Encoded records up to 64 KiB of content are kept
    // between calls, so a write costs little more than its bytes. A large
    // content's Base64 text is copied from the file it lies in (or encoded
    // once from memory) and, after the rename, re-pointed at the new file,
    // whose memory copy is then let go. A content whose text the old file no
    // longer holds whole leaves its clip out of the file, with an error line.
    virtual void write(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders);

    // Hands this state to a worker thread that write()s it, and returns at
    // once without touching the disk; the newest state handed in wins (see
    // HistoryWriter). A change is on disk when the write after the one in
    // progress ends; a crash can lose only what was not yet written then.
    virtual void save(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders);
    // Returns once every state handed to save() so far is written (or its
    // write failed and was logged). Called at quit.
    virtual void waitForPendingWrite();

private:
    struct State;
    void prepareDirectory(bool quiet);
    QList<ClipboardItem> loadItems();
    QList<ClipboardFolder> loadFolders();
    QString writeItems(const QList<ClipboardItem> &items, bool *renamed);
    QString writeFolders(const QList<ClipboardFolder> &folders, bool *renamed);

    QString m_directory;
    std::unique_ptr<State> m_state;
    std::unique_ptr<HistoryWriter> m_writer; // started by the first save()
};
