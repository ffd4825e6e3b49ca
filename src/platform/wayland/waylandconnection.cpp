#include "waylandconnection.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <QByteArray>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <wayland-client.h>

#include "platform/logger.h"

namespace {

struct Global
{
    uint32_t name = 0;
    QString interface;
    uint32_t version = 0;
};

} // namespace

struct WaylandConnection::Impl
{
    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    wl_seat *seat = nullptr;
    std::vector<Global> globals;

    int wakeFd = -1;
    std::thread thread;
    std::thread::id threadId;
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
    bool stopping = false;

    void loop();
    void runTasks();
};

namespace {

void onGlobal(void *data, wl_registry *, uint32_t name, const char *interface, uint32_t version)
{
    auto *impl = static_cast<WaylandConnection::Impl *>(data);
    std::lock_guard lock(impl->mutex);
    impl->globals.push_back({name, QString::fromLatin1(interface), version});
}

void onGlobalRemove(void *data, wl_registry *, uint32_t name)
{
    auto *impl = static_cast<WaylandConnection::Impl *>(data);
    std::lock_guard lock(impl->mutex);
    std::erase_if(impl->globals, [name](const Global &g) { return g.name == name; });
}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

} // namespace

std::shared_ptr<WaylandConnection> WaylandConnection::connect()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        Log::info(QStringLiteral("Wayland: cannot connect to the compositor %1")
                      .arg(QString::fromLocal8Bit(qgetenv("WAYLAND_DISPLAY"))));
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->display = display;
    impl->registry = wl_display_get_registry(display);
    wl_registry_add_listener(impl->registry, &kRegistryListener, impl.get());
    wl_display_roundtrip(display);
    for (const Global &g : impl->globals) {
        if (g.interface == QLatin1String("wl_seat")) {
            impl->seat = static_cast<wl_seat *>(wl_registry_bind(impl->registry, g.name, &wl_seat_interface, 1));
            break;
        }
    }
    wl_display_roundtrip(display);
    impl->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    Impl *raw = impl.get();
    impl->thread = std::thread([raw] { raw->loop(); });
    impl->threadId = impl->thread.get_id();
    return std::shared_ptr<WaylandConnection>(new WaylandConnection(std::move(impl)));
}

WaylandConnection::WaylandConnection(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

WaylandConnection::~WaylandConnection()
{
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->stopping = true;
    }
    const uint64_t one = 1;
    (void)!write(m_impl->wakeFd, &one, sizeof one);
    if (m_impl->thread.joinable())
        m_impl->thread.join();
    if (m_impl->seat)
        wl_seat_destroy(m_impl->seat);
    wl_registry_destroy(m_impl->registry);
    wl_display_disconnect(m_impl->display);
    close(m_impl->wakeFd);
}

void WaylandConnection::Impl::runTasks()
{
    uint64_t count = 0;
    (void)!read(wakeFd, &count, sizeof count);
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex);
            if (tasks.empty())
                return;
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        task();
        wl_display_flush(display);
    }
}

void WaylandConnection::Impl::loop()
{
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (stopping)
                return;
        }
        while (wl_display_prepare_read(display) != 0)
            wl_display_dispatch_pending(display);
        wl_display_flush(display);
        pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            wl_display_cancel_read(display);
            continue;
        }
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            if (wl_display_read_events(display) < 0) {
                Log::error(QStringLiteral("Wayland: the compositor closed our connection (error %1)")
                               .arg(wl_display_get_error(display)));
                std::deque<std::function<void()>> left;
                {
                    std::lock_guard lock(mutex);
                    stopping = true;
                    left.swap(tasks);
                }
                // Callers of runSync() must not wait for ever; requests on a
                // broken connection do nothing.
                for (auto &task : left)
                    task();
                return;
            }
        } else {
            wl_display_cancel_read(display);
        }
        wl_display_dispatch_pending(display);
        if (fds[1].revents & POLLIN)
            runTasks();
    }
}

bool WaylandConnection::offers(const QString &interfaceName) const
{
    std::lock_guard lock(m_impl->mutex);
    for (const Global &g : m_impl->globals) {
        if (g.interface == interfaceName)
            return true;
    }
    return false;
}

void *WaylandConnection::bind(const wl_interface *interface, uint32_t maxVersion) const
{
    for (const Global &g : m_impl->globals) {
        if (g.interface == QLatin1String(interface->name))
            return wl_registry_bind(m_impl->registry, g.name, interface, std::min(g.version, maxVersion));
    }
    return nullptr;
}

wl_seat *WaylandConnection::seat() const
{
    return m_impl->seat;
}

wl_display *WaylandConnection::display() const
{
    return m_impl->display;
}

void WaylandConnection::post(std::function<void()> task)
{
    {
        std::lock_guard lock(m_impl->mutex);
        if (m_impl->stopping)
            return;
        m_impl->tasks.push_back(std::move(task));
    }
    const uint64_t one = 1;
    (void)!write(m_impl->wakeFd, &one, sizeof one);
}

void WaylandConnection::runSync(const std::function<void()> &task)
{
    if (isEventThread()) {
        task();
        wl_display_flush(m_impl->display);
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    {
        std::lock_guard lock(m_impl->mutex);
        if (m_impl->stopping)
            return;
        m_impl->tasks.push_back([&] {
            task();
            std::lock_guard doneLock(doneMutex);
            done = true;
            doneSignal.notify_one();
        });
    }
    const uint64_t one = 1;
    (void)!write(m_impl->wakeFd, &one, sizeof one);
    std::unique_lock doneLock(doneMutex);
    doneSignal.wait(doneLock, [&] { return done; });
}

bool WaylandConnection::isEventThread() const
{
    return std::this_thread::get_id() == m_impl->threadId;
}
