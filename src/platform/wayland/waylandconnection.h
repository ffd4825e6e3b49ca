#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

struct wl_display;
struct wl_interface;
struct wl_seat;

// A Wayland connection of our own (not the toolkit's), with its own event
// thread. Every use of its proxies happens on that thread: backends run
// their requests through post() or runSync() and hand results to the main
// thread with queued calls. Shared by the backends of one session.
class WaylandConnection final
{
public:
    // Connects to the compositor named by $WAYLAND_DISPLAY and starts the
    // event thread; null when there is no such compositor.
    static std::shared_ptr<WaylandConnection> connect();
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection &) = delete;
    WaylandConnection &operator=(const WaylandConnection &) = delete;

    // Whether the compositor offered the global `interfaceName` at start.
    bool offers(const QString &interfaceName) const;
    // Binds the first global of `interface` at no more than `maxVersion`;
    // null when it is not offered. Event thread only.
    void *bind(const wl_interface *interface, uint32_t maxVersion) const;
    // The first seat (null when there is none) and the display. Event thread only.
    wl_seat *seat() const;
    wl_display *display() const;

    // Runs `task` on the event thread, then flushes the requests it made.
    void post(std::function<void()> task);
    // Runs `task` on the event thread and waits for it; runs it at once
    // when called on that thread.
    void runSync(const std::function<void()> &task);
    bool isEventThread() const;

    // Opaque state, shared with the protocol callbacks in the .cpp file.
    struct Impl;

private:
    explicit WaylandConnection(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};
