#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include <QList>

#include "model/clipboardfolder.h"
#include "model/clipboarditem.h"

// Writes the history on one worker thread, one write at a time, so that
// nobody waits for the disk. A state handed in while a write runs is written
// right after it; a newer state handed in before that replaces it, so the
// newest state always wins and a change is on disk at the latest when the
// write after the one in progress ends. Handing in costs a copy of two
// implicitly shared lists. Thread-safe.
class HistoryWriter final
{
public:
    // Called on the worker thread with the state to write; reports its own
    // failures (the next state handed in is written again regardless).
    using WriteFunction = std::function<void(const QList<ClipboardItem> &, const QList<ClipboardFolder> &)>;

    explicit HistoryWriter(WriteFunction write);
    // Waits for the pending write, then stops the worker: nothing is written
    // once the destructor has returned.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter &) = delete;
    HistoryWriter &operator=(const HistoryWriter &) = delete;

    // Queues this state for writing and returns at once.
    void save(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders);
    // Returns once every state handed to save() before this call has been
    // written (or its write has failed and been reported); at once when
    // nothing is pending.
    void waitForPendingWrite();

private:
    struct State {
        QList<ClipboardItem> items;
        QList<ClipboardFolder> folders;
        quint64 generation = 0;
    };
    void run();

    WriteFunction m_write;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // the worker: a state is pending, or stop
    std::condition_variable m_done; // waiters: a write has ended
    std::optional<State> m_pending;
    quint64 m_handedIn = 0; // generation of the newest state handed in
    quint64 m_written = 0;  // generation of the newest state written
    bool m_stop = false;
    std::thread m_thread;
};
