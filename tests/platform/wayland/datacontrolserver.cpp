#include "datacontrolserver.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <wayland-server.h>

#include "ext-data-control-v1-server-protocol.h"
#include "wlr-data-control-unstable-v1-server-protocol.h"

namespace {

// The interfaces, request handlers and events of one data-control protocol
// on the compositor's side; the handlers below serve both.
struct Protocol
{
    const wl_interface *device;
    const wl_interface *source;
    const wl_interface *offer;
    const void *deviceImpl;
    const void *sourceImpl;
    const void *offerImpl;
    void (*sendDataOffer)(wl_resource *device, wl_resource *offer);
    void (*sendSelection)(wl_resource *device, wl_resource *offer);
    void (*sendOffer)(wl_resource *offer, const char *mimeType);
    void (*sendSend)(wl_resource *source, const char *mimeType, int32_t fd);
    void (*sendCancelled)(wl_resource *source);
};

struct SourceState
{
    DataControlServer::Impl *server;
    const Protocol *protocol;
    wl_resource *resource;
    QStringList types;
};

struct OfferState
{
    DataControlServer::Impl *server;
    quint64 generation; // of the selection it announced
};

struct Device
{
    wl_resource *resource;
    const Protocol *protocol;
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
    std::vector<Device> devices;
    Entries served;                // the selection when the compositor owns it
    SourceState *source = nullptr; // the selection when a client owns it
    quint64 generation = 0;

    mutable std::mutex mutex; // held by whoever runs the server now
    QStringList deviceInterfaces;
    std::atomic_bool stopping = false;
    std::thread thread;

    void runSync(const std::function<void()> &task);
    void announce(const Device &device);
    void replaceSelection(const Entries &entries, SourceState *owner);
};

namespace {

void destroyResource(wl_client *, wl_resource *resource)
{
    wl_resource_destroy(resource);
}

// Offers ---------------------------------------------------------------

void offerReceive(wl_client *, wl_resource *resource, const char *mimeType, int32_t fd)
{
    auto *offer = static_cast<OfferState *>(wl_resource_get_user_data(resource));
    DataControlServer::Impl *server = offer->server;
    if (offer->generation == server->generation) {
        if (server->source) {
            server->source->protocol->sendSend(server->source->resource, mimeType, fd);
        } else {
            for (const auto &entry : server->served) {
                if (entry.first == QLatin1String(mimeType)) {
                    writeAll(fd, entry.second);
                    break;
                }
            }
        }
    }
    close(fd);
}

void offerDestroyed(wl_resource *resource)
{
    delete static_cast<OfferState *>(wl_resource_get_user_data(resource));
}

// Sources --------------------------------------------------------------

void sourceOffer(wl_client *, wl_resource *resource, const char *mimeType)
{
    static_cast<SourceState *>(wl_resource_get_user_data(resource))->types.append(QString::fromUtf8(mimeType));
}

void sourceDestroyed(wl_resource *resource)
{
    auto *source = static_cast<SourceState *>(wl_resource_get_user_data(resource));
    // The selection goes with its owner. Nothing is announced: the source
    // may be going with its whole client, devices included.
    if (source->server->source == source)
        source->server->source = nullptr;
    delete source;
}

// Devices --------------------------------------------------------------

void deviceSetSelection(wl_client *, wl_resource *resource, wl_resource *sourceResource)
{
    auto *server = static_cast<DataControlServer::Impl *>(wl_resource_get_user_data(resource));
    server->replaceSelection({}, sourceResource ? static_cast<SourceState *>(wl_resource_get_user_data(sourceResource))
                                                : nullptr);
}

void deviceSetPrimarySelection(wl_client *, wl_resource *, wl_resource *)
{
    // Only the regular selection is kept.
}

void deviceDestroyed(wl_resource *resource)
{
    auto *server = static_cast<DataControlServer::Impl *>(wl_resource_get_user_data(resource));
    std::erase_if(server->devices, [resource](const Device &d) { return d.resource == resource; });
}

// Managers -------------------------------------------------------------

template <const Protocol &protocol>
void managerCreateSource(wl_client *client, wl_resource *manager, uint32_t id)
{
    wl_resource *resource = wl_resource_create(client, protocol.source, wl_resource_get_version(manager), id);
    auto *source = new SourceState{static_cast<DataControlServer::Impl *>(wl_resource_get_user_data(manager)),
                                   &protocol, resource, {}};
    wl_resource_set_implementation(resource, protocol.sourceImpl, source, sourceDestroyed);
}

template <const Protocol &protocol>
void managerGetDevice(wl_client *client, wl_resource *manager, uint32_t id, wl_resource *)
{
    auto *server = static_cast<DataControlServer::Impl *>(wl_resource_get_user_data(manager));
    wl_resource *resource = wl_resource_create(client, protocol.device, wl_resource_get_version(manager), id);
    wl_resource_set_implementation(resource, protocol.deviceImpl, server, deviceDestroyed);
    server->devices.push_back({resource, &protocol});
    server->deviceInterfaces.append(QString::fromLatin1(protocol.device->name));
    // A new device learns the current selection at once.
    server->announce(server->devices.back());
}

const struct ext_data_control_offer_v1_interface kExtOfferImpl = {offerReceive, destroyResource};
const struct ext_data_control_source_v1_interface kExtSourceImpl = {sourceOffer, destroyResource};
const struct ext_data_control_device_v1_interface kExtDeviceImpl = {deviceSetSelection, destroyResource,
                                                                     deviceSetPrimarySelection};
const struct zwlr_data_control_offer_v1_interface kWlrOfferImpl = {offerReceive, destroyResource};
const struct zwlr_data_control_source_v1_interface kWlrSourceImpl = {sourceOffer, destroyResource};
const struct zwlr_data_control_device_v1_interface kWlrDeviceImpl = {deviceSetSelection, destroyResource,
                                                                      deviceSetPrimarySelection};

const Protocol kExt = {&ext_data_control_device_v1_interface,
                       &ext_data_control_source_v1_interface,
                       &ext_data_control_offer_v1_interface,
                       &kExtDeviceImpl,
                       &kExtSourceImpl,
                       &kExtOfferImpl,
                       ext_data_control_device_v1_send_data_offer,
                       ext_data_control_device_v1_send_selection,
                       ext_data_control_offer_v1_send_offer,
                       ext_data_control_source_v1_send_send,
                       ext_data_control_source_v1_send_cancelled};
const Protocol kWlr = {&zwlr_data_control_device_v1_interface,
                       &zwlr_data_control_source_v1_interface,
                       &zwlr_data_control_offer_v1_interface,
                       &kWlrDeviceImpl,
                       &kWlrSourceImpl,
                       &kWlrOfferImpl,
                       zwlr_data_control_device_v1_send_data_offer,
                       zwlr_data_control_device_v1_send_selection,
                       zwlr_data_control_offer_v1_send_offer,
                       zwlr_data_control_source_v1_send_send,
                       zwlr_data_control_source_v1_send_cancelled};

const struct ext_data_control_manager_v1_interface kExtManagerImpl = {managerCreateSource<kExt>,
                                                                       managerGetDevice<kExt>, destroyResource};
const struct zwlr_data_control_manager_v1_interface kWlrManagerImpl = {managerCreateSource<kWlr>,
                                                                        managerGetDevice<kWlr>, destroyResource};

void bindExtManager(wl_client *client, void *data, uint32_t version, uint32_t id)
{
    wl_resource *resource = wl_resource_create(client, &ext_data_control_manager_v1_interface, int(version), id);
    wl_resource_set_implementation(resource, &kExtManagerImpl, data, nullptr);
}

void bindWlrManager(wl_client *client, void *data, uint32_t version, uint32_t id)
{
    wl_resource *resource = wl_resource_create(client, &zwlr_data_control_manager_v1_interface, int(version), id);
    wl_resource_set_implementation(resource, &kWlrManagerImpl, data, nullptr);
}

// The seat: only named by data devices here, so it takes no requests.
void bindSeat(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource_create(client, &wl_seat_interface, int(version), id);
}

} // namespace

void DataControlServer::Impl::announce(const Device &device)
{
    const bool empty = !source && served.isEmpty();
    if (empty) {
        device.protocol->sendSelection(device.resource, nullptr);
        return;
    }
    wl_resource *offer = wl_resource_create(wl_resource_get_client(device.resource), device.protocol->offer,
                                            wl_resource_get_version(device.resource), 0);
    wl_resource_set_implementation(offer, device.protocol->offerImpl, new OfferState{this, generation}, offerDestroyed);
    device.protocol->sendDataOffer(device.resource, offer);
    if (source) {
        for (const QString &type : source->types)
            device.protocol->sendOffer(offer, type.toUtf8().constData());
    } else {
        for (const auto &entry : served)
            device.protocol->sendOffer(offer, entry.first.toUtf8().constData());
    }
    device.protocol->sendSelection(device.resource, offer);
}

void DataControlServer::Impl::replaceSelection(const Entries &entries, SourceState *owner)
{
    if (source && source != owner)
        source->protocol->sendCancelled(source->resource);
    source = owner;
    served = entries;
    ++generation;
    for (const Device &device : devices)
        announce(device);
}

void DataControlServer::Impl::runSync(const std::function<void()> &task)
{
    std::lock_guard lock(mutex);
    task();
    wl_display_flush_clients(display);
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
    wl_global_create(impl->display, &wl_seat_interface, 1, impl, bindSeat);
    if (globals.ext)
        wl_global_create(impl->display, &ext_data_control_manager_v1_interface, 1, impl, bindExtManager);
    if (globals.wlr)
        wl_global_create(impl->display, &zwlr_data_control_manager_v1_interface, 2, impl, bindWlrManager);
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

bool DataControlServer::isRunning() const
{
    return m_impl->running;
}

QStringList DataControlServer::deviceInterfaces() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->deviceInterfaces;
}

void DataControlServer::offerSelection(const Entries &entries)
{
    Impl *impl = m_impl.get();
    impl->runSync([impl, &entries] { impl->replaceSelection(entries, nullptr); });
}

QStringList DataControlServer::clientSelectionTypes() const
{
    Impl *impl = m_impl.get();
    QStringList types;
    impl->runSync([impl, &types] {
        if (impl->source)
            types = impl->source->types;
    });
    return types;
}

std::optional<QByteArray> DataControlServer::readClientSelection(const QString &mimeType) const
{
    Impl *impl = m_impl.get();
    int readEnd = -1;
    impl->runSync([impl, &mimeType, &readEnd] {
        int fds[2];
        if (!impl->source || pipe2(fds, O_CLOEXEC) != 0)
            return;
        impl->source->protocol->sendSend(impl->source->resource, mimeType.toUtf8().constData(), fds[1]);
        close(fds[1]);
        readEnd = fds[0];
    });
    if (readEnd < 0)
        return std::nullopt;
    QByteArray bytes;
    bool finished = false;
    pollfd pfd = {readEnd, POLLIN, 0};
    // Until the owner closes its end (all of it came) or stays silent for 5 s.
    while (!finished && poll(&pfd, 1, 5000) > 0) {
        char buffer[4096];
        const ssize_t n = read(readEnd, buffer, sizeof buffer);
        if (n < 0 && errno != EINTR)
            break;
        bytes.append(buffer, std::max<ssize_t>(n, 0));
        finished = n == 0;
    }
    close(readEnd);
    if (!finished)
        return std::nullopt;
    return bytes;
}
