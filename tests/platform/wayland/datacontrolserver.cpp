#include "datacontrolserver.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include <poll.h>
#include <unistd.h>

#include <wayland-server.h>

#include "ext-data-control-v1-server-protocol.h"
#include "wlr-data-control-unstable-v1-server-protocol.h"

namespace {

struct SourceState
{
    DataControlServer::Impl *server;
    wl_resource *resource;
    QStringList types;
};

struct OfferState
{
    DataControlServer::Impl *server;
    quint64 generation; // of the selection it announced
};

void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
}

} // namespace

struct DataControlServer::Impl
{
    QTemporaryDir runtimeDir;
    QByteArray savedRuntimeDir;
    QByteArray savedDisplay;
    wl_display *display = nullptr;
    bool running = false;

    // Under the mutex only.
    std::vector<wl_resource *> devices;
    Entries served;                // the selection when the compositor owns it
    SourceState *source = nullptr; // the selection when a client owns it
    quint64 generation = 0;

    mutable std::mutex mutex; // held by whoever runs the server now
    std::atomic_bool stopping = false;
    std::thread thread;

    void announce(wl_resource *device);
    void replaceSelection(const Entries &entries, SourceState *owner);
};

namespace {

template <typename T>
T *dataOf(wl_resource *resource)
{
    return static_cast<T *>(wl_resource_get_user_data(resource));
}

void destroyResource(wl_client *, wl_resource *resource)
{
    wl_resource_destroy(resource);
}

void offerReceive(wl_client *, wl_resource *resource, const char *mimeType, int32_t fd)
{
    DataControlServer::Impl *server = dataOf<OfferState>(resource)->server;
    if (dataOf<OfferState>(resource)->generation == server->generation) {
        if (server->source) {
            ext_data_control_source_v1_send_send(server->source->resource, mimeType, fd);
        } else {
            for (const auto &entry : server->served) {
                if (entry.first == QLatin1String(mimeType))
                    writeAll(fd, entry.second);
            }
        }
    }
    close(fd);
}

void sourceDestroyed(wl_resource *resource)
{
    auto *source = dataOf<SourceState>(resource);
    // The selection goes with its owner. Nothing is announced: the source
    // may be going with its whole client, devices included.
    if (source->server->source == source)
        source->server->source = nullptr;
    delete source;
}

void deviceSetSelection(wl_client *, wl_resource *resource, wl_resource *source)
{
    dataOf<DataControlServer::Impl>(resource)->replaceSelection({}, source ? dataOf<SourceState>(source) : nullptr);
}

void deviceDestroyed(wl_resource *resource)
{
    std::erase(dataOf<DataControlServer::Impl>(resource)->devices, resource);
}

const struct ext_data_control_offer_v1_interface kOfferImpl = {offerReceive, destroyResource};
const struct ext_data_control_source_v1_interface kSourceImpl = {
    [](wl_client *, wl_resource *resource, const char *mimeType) {
        dataOf<SourceState>(resource)->types.append(QString::fromUtf8(mimeType));
    },
    destroyResource};
// Only the regular selection is kept: setting the primary one does nothing.
const struct ext_data_control_device_v1_interface kDeviceImpl = {deviceSetSelection, destroyResource,
                                                                  [](wl_client *, wl_resource *, wl_resource *) {}};

void managerCreateSource(wl_client *client, wl_resource *manager, uint32_t id)
{
    wl_resource *resource = wl_resource_create(client, &ext_data_control_source_v1_interface,
                                               wl_resource_get_version(manager), id);
    auto *source = new SourceState{dataOf<DataControlServer::Impl>(manager), resource, {}};
    wl_resource_set_implementation(resource, &kSourceImpl, source, sourceDestroyed);
}

void managerGetDevice(wl_client *client, wl_resource *manager, uint32_t id, wl_resource *)
{
    auto *server = dataOf<DataControlServer::Impl>(manager);
    wl_resource *device = wl_resource_create(client, &ext_data_control_device_v1_interface,
                                             wl_resource_get_version(manager), id);
    wl_resource_set_implementation(device, &kDeviceImpl, server, deviceDestroyed);
    server->devices.push_back(device);
    // A new device learns the current selection at once.
    server->announce(device);
}

const struct ext_data_control_manager_v1_interface kManagerImpl = {managerCreateSource, managerGetDevice,
                                                                    destroyResource};

void bindExtManager(wl_client *client, void *data, uint32_t version, uint32_t id)
{
    wl_resource *resource = wl_resource_create(client, &ext_data_control_manager_v1_interface, int(version), id);
    wl_resource_set_implementation(resource, &kManagerImpl, data, nullptr);
}

// The wlroots manager is only offered: a clipboard that has the standard one
// never asks it for anything (sway's, in the Wayland tier, serves it for real).
// The seat is only named by data devices. Neither takes requests here.
template <const wl_interface *interface>
void bindInert(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource_create(client, interface, int(version), id);
}

} // namespace

void DataControlServer::Impl::announce(wl_resource *device)
{
    if (!source && served.isEmpty()) {
        ext_data_control_device_v1_send_selection(device, nullptr);
        return;
    }
    wl_resource *offer = wl_resource_create(wl_resource_get_client(device), &ext_data_control_offer_v1_interface,
                                            wl_resource_get_version(device), 0);
    wl_resource_set_implementation(offer, &kOfferImpl, new OfferState{this, generation},
                                   [](wl_resource *resource) { delete dataOf<OfferState>(resource); });
    ext_data_control_device_v1_send_data_offer(device, offer);
    QStringList types = source ? source->types : QStringList();
    for (const auto &entry : served)
        types.append(entry.first);
    for (const QString &type : types)
        ext_data_control_offer_v1_send_offer(offer, type.toUtf8().constData());
    ext_data_control_device_v1_send_selection(device, offer);
}

void DataControlServer::Impl::replaceSelection(const Entries &entries, SourceState *owner)
{
    if (source && source != owner)
        ext_data_control_source_v1_send_cancelled(source->resource);
    source = owner;
    served = entries;
    ++generation;
    for (wl_resource *device : devices)
        announce(device);
}

DataControlServer::DataControlServer(Globals globals) : m_impl(std::make_unique<Impl>())
{
    Impl *impl = m_impl.get();
    impl->savedRuntimeDir = qgetenv("XDG_RUNTIME_DIR");
    impl->savedDisplay = qgetenv("WAYLAND_DISPLAY");
    if (!impl->runtimeDir.isValid())
        return;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(impl->runtimeDir.path()));
    impl->display = wl_display_create();
    const char *socket = wl_display_add_socket_auto(impl->display);
    if (!socket)
        return;
    qputenv("WAYLAND_DISPLAY", socket);
    wl_global_create(impl->display, &wl_seat_interface, 1, impl, bindInert<&wl_seat_interface>);
    if (globals.ext)
        wl_global_create(impl->display, &ext_data_control_manager_v1_interface, 1, impl, bindExtManager);
    if (globals.wlr)
        wl_global_create(impl->display, &zwlr_data_control_manager_v1_interface, 2, impl,
                         bindInert<&zwlr_data_control_manager_v1_interface>);
    wl_event_loop *loop = wl_display_get_event_loop(impl->display);
    // libwayland-server has no locks of its own: the loop and the test's
    // calls take turns under the mutex.
    impl->thread = std::thread([impl, loop] {
        pollfd pfd = {wl_event_loop_get_fd(loop), POLLIN, 0};
        while (!impl->stopping) {
            poll(&pfd, 1, 10);
            std::lock_guard lock(impl->mutex);
            wl_event_loop_dispatch(loop, 0);
            wl_display_flush_clients(impl->display);
        }
    });
    impl->running = true;
}

DataControlServer::~DataControlServer()
{
    Impl *impl = m_impl.get();
    if (impl->thread.joinable()) {
        impl->stopping = true;
        impl->thread.join();
    }
    if (impl->display) {
        wl_display_destroy_clients(impl->display);
        wl_display_destroy(impl->display);
    }
    qputenv("XDG_RUNTIME_DIR", impl->savedRuntimeDir);
    qputenv("WAYLAND_DISPLAY", impl->savedDisplay);
}

bool DataControlServer::isRunning() const { return m_impl->running; }

void DataControlServer::offerSelection(const Entries &entries)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->replaceSelection(entries, nullptr);
    wl_display_flush_clients(m_impl->display);
}
