#include "historywriter.h"

HistoryWriter::HistoryWriter(WriteFunction write) : m_write(std::move(write))
{
    m_thread = std::thread([this] { run(); });
}

HistoryWriter::~HistoryWriter()
{
    waitForPendingWrite();
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void HistoryWriter::save(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders)
{
    {
        std::lock_guard lock(m_mutex);
        // Replacing a waiting state drops the caller's older copy here, under
        // the lock, which only releases references: no deep copy happens.
        m_pending = State{items, folders, ++m_handedIn};
    }
    m_wake.notify_one();
}

void HistoryWriter::waitForPendingWrite()
{
    std::unique_lock lock(m_mutex);
    const quint64 target = m_handedIn;
    m_done.wait(lock, [&] { return m_written >= target; });
}

void HistoryWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending.has_value() || m_stop; });
        if (!m_pending)
            return; // stopping, with nothing left to write
        State state = std::move(*m_pending);
        m_pending.reset();
        lock.unlock();
        m_write(state.items, state.folders);
        // The lists are let go outside the lock: the last reference to a
        // large clip may be freed here.
        state.items = {};
        state.folders = {};
        lock.lock();
        m_written = state.generation;
        m_done.notify_all();
    }
}
