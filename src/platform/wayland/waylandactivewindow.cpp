#include "waylandactivewindow.h"

#include <mutex>

#include <QHash>

#include <wayland-client.h>

#include "platform/appid.h"
#include "platform/logger.h"
#include "waylandconnection.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace {

struct Toplevel
{
    quint32 id = 0;
    QString appId;
    bool activated = false;
    // Collected until "done" makes them current.
    QString pendingAppId;
    bool pendingActivated = false;
};

} // namespace

struct WaylandActiveWindow::Impl
{
    std::shared_ptr<WaylandConnection> connection;
    zwlr_foreign_toplevel_manager_v1 *manager = nullptr;
    quint32 nextId = 1;

    // Written on the event thread, read on the main thread.
    mutable std::mutex mutex;
    QHash<zwlr_foreign_toplevel_handle_v1 *, Toplevel> toplevels;
    zwlr_foreign_toplevel_handle_v1 *front = nullptr;
};

namespace {

using Impl = WaylandActiveWindow::Impl;

void handleTitle(void *, zwlr_foreign_toplevel_handle_v1 *, const char *) {}

void handleAppId(void *data, zwlr_foreign_toplevel_handle_v1 *handle, const char *appId)
{
    auto *impl = static_cast<Impl *>(data);
    std::lock_guard lock(impl->mutex);
    impl->toplevels[handle].pendingAppId = QString::fromUtf8(appId);
}

void handleOutput(void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {}

void handleState(void *data, zwlr_foreign_toplevel_handle_v1 *handle, wl_array *states)
{
    auto *impl = static_cast<Impl *>(data);
    bool activated = false;
    const auto *begin = static_cast<const uint32_t *>(states->data);
    for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
        activated = activated || begin[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    std::lock_guard lock(impl->mutex);
    impl->toplevels[handle].pendingActivated = activated;
}

void handleParent(void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {}
void handleAnnotation(void *, zwlr_foreign_toplevel_handle_v1 *, const char *, const char *, const char *) {}

void handleDone(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
{
    auto *impl = static_cast<Impl *>(data);
    std::lock_guard lock(impl->mutex);
    Toplevel &t = impl->toplevels[handle];
    t.appId = t.pendingAppId;
    const bool wasActivated = t.activated;
    t.activated = t.pendingActivated;
    if (t.activated)
        impl->front = handle;
    else if (wasActivated && impl->front == handle)
        impl->front = nullptr;
}

void handleClosed(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
{
    auto *impl = static_cast<Impl *>(data);
    {
        std::lock_guard lock(impl->mutex);
        impl->toplevels.remove(handle);
        if (impl->front == handle)
            impl->front = nullptr;
    }
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
}

const zwlr_foreign_toplevel_handle_v1_listener kHandleListener = {
    handleTitle, handleAppId, handleOutput,     handleOutput,     handleState,
    handleDone,  handleClosed, handleParent, handleAnnotation, handleAnnotation,
};

void managerToplevel(void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *handle)
{
    auto *impl = static_cast<Impl *>(data);
    {
        std::lock_guard lock(impl->mutex);
        impl->toplevels[handle].id = impl->nextId++;
    }
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, impl);
}

void managerFinished(void *data, zwlr_foreign_toplevel_manager_v1 *manager)
{
    auto *impl = static_cast<Impl *>(data);
    Log::info(QStringLiteral("ActiveWindow: the compositor stopped reporting its windows"));
    wl_proxy_destroy(reinterpret_cast<wl_proxy *>(manager));
    impl->manager = nullptr;
}

const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {managerToplevel, managerFinished};

} // namespace

bool WaylandActiveWindow::isOffered(const WaylandConnection &connection)
{
    return connection.offers(QStringLiteral("zwlr_foreign_toplevel_manager_v1"));
}

std::unique_ptr<WaylandActiveWindow> WaylandActiveWindow::create(std::shared_ptr<WaylandConnection> connection)
{
    if (!connection || !isOffered(*connection))
        return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->connection = connection;
    Impl *raw = impl.get();
    connection->runSync([&] {
        if (!connection->seat())
            return;
        raw->manager = static_cast<zwlr_foreign_toplevel_manager_v1 *>(
            connection->bind(&zwlr_foreign_toplevel_manager_v1_interface, 2));
        if (!raw->manager)
            return;
        zwlr_foreign_toplevel_manager_v1_add_listener(raw->manager, &kManagerListener, raw);
        // The existing toplevels and their states arrive in this round trip.
        wl_display_roundtrip(connection->display());
    });
    if (!raw->manager)
        return nullptr;
    return std::unique_ptr<WaylandActiveWindow>(new WaylandActiveWindow(std::move(impl)));
}

WaylandActiveWindow::WaylandActiveWindow(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

WaylandActiveWindow::~WaylandActiveWindow()
{
    Impl *impl = m_impl.get();
    impl->connection->runSync([impl] {
        std::lock_guard lock(impl->mutex);
        for (auto it = impl->toplevels.cbegin(); it != impl->toplevels.cend(); ++it)
            zwlr_foreign_toplevel_handle_v1_destroy(it.key());
        impl->toplevels.clear();
        impl->front = nullptr;
        if (impl->manager) {
            // stop is the polite end; the proxy itself goes with the connection.
            zwlr_foreign_toplevel_manager_v1_stop(impl->manager);
            wl_proxy_destroy(reinterpret_cast<wl_proxy *>(impl->manager));
            impl->manager = nullptr;
        }
    });
}

std::optional<WindowRef> WaylandActiveWindow::frontmost() const
{
    std::lock_guard lock(m_impl->mutex);
    if (!m_impl->front)
        return std::nullopt;
    const Toplevel &t = m_impl->toplevels.value(m_impl->front);
    WindowRef ref;
    ref.id = t.id;
    ref.appId = t.appId;
    ref.wmClass = t.appId;
    ref.wmInstance = t.appId;
    // Our windows live on XWayland, where the compositor names them by their
    // WM_CLASS class: the application name.
    ref.isOwn = t.appId == QLatin1String(kAppName) || t.appId == QLatin1String(kAppId);
    return ref;
}

void WaylandActiveWindow::activate(const WindowRef &window)
{
    Impl *impl = m_impl.get();
    const quint32 id = window.id;
    impl->connection->post([impl, id] {
        zwlr_foreign_toplevel_handle_v1 *target = nullptr;
        {
            std::lock_guard lock(impl->mutex);
            for (auto it = impl->toplevels.cbegin(); it != impl->toplevels.cend(); ++it) {
                if (it->id == id)
                    target = it.key();
            }
        }
        if (target)
            zwlr_foreign_toplevel_handle_v1_activate(target, impl->connection->seat());
    });
}
