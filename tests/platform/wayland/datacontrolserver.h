#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A small Wayland compositor for tests: a seat and the data-control
// managers asked for, on a socket of its own in a temporary
// XDG_RUNTIME_DIR, served by a thread of its own. It serves the standard
// (ext) protocol and only offers the wlroots manager: it keeps one regular
// selection, announces it to every data device as a compositor does, and
// serves the reads of it. While alive, WAYLAND_DISPLAY and XDG_RUNTIME_DIR
// point at it. Every method is called from the test's thread and takes its
// turn with the server thread.
class DataControlServer final
{
public:
    struct Globals
    {
        bool ext = false; // ext_data_control_manager_v1
        bool wlr = false; // zwlr_data_control_manager_v1, offered only
    };
    using Entries = QList<QPair<QString, QByteArray>>; // MIME type, bytes

    explicit DataControlServer(Globals globals);
    ~DataControlServer();
    DataControlServer(const DataControlServer &) = delete;
    DataControlServer &operator=(const DataControlServer &) = delete;

    // Whether the socket is up and the thread runs.
    bool isRunning() const;

    // Makes `entries` the selection, owned by the compositor itself.
    void offerSelection(const Entries &entries);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};
