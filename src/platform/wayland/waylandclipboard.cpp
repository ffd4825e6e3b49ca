#include "waylandclipboard.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <QMetaObject>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <wayland-client.h>

#include "platform/logger.h"
#include "datacontrolprotocol.h"
#include "waylandconnection.h"
#include "waylandmimemapping.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Pipe
{
    QString type; // as presented
    int fd = -1;
    QByteArray bytes;
    bool done = false;
};

// Reads every pipe to its end, side by side, until `deadline` or until
// `cancelFd` (when not -1) becomes readable; pipes still open then are given
// up (their owner is stuck) and left out of the result.
QHash<QString, QByteArray> drain(std::vector<Pipe> &pipes, Clock::time_point deadline, QStringList &lateTypes,
                                 int cancelFd = -1)
{
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<Pipe *> open;
        if (cancelFd >= 0) {
            fds.push_back({cancelFd, POLLIN, 0});
            open.push_back(nullptr);
        }
        for (Pipe &p : pipes) {
            if (!p.done) {
                fds.push_back({p.fd, POLLIN, 0});
                open.push_back(&p);
            }
        }
        if (fds.size() == (cancelFd >= 0 ? 1u : 0u))
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        const int ready = poll(fds.data(), fds.size(), int(left));
        if (ready < 0 && errno != EINTR)
            break;
        if (cancelFd >= 0 && fds[0].revents)
            break;
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!fds[i].revents || !open[i])
                continue;
            char buffer[65536];
            const ssize_t n = read(open[i]->fd, buffer, sizeof buffer);
            if (n > 0)
                open[i]->bytes.append(buffer, n);
            else if (n == 0 || (errno != EINTR && errno != EAGAIN))
                open[i]->done = true;
        }
    }
    QHash<QString, QByteArray> out;
    for (Pipe &p : pipes) {
        close(p.fd);
        if (p.done)
            out.insert(p.type, p.bytes);
        else
            lateTypes.append(p.type);
    }
    return out;
}

// Serves one request for our own content. Runs on a thread of its own, so a
// reader that takes its time (or our own reader thread) never holds the
// event loop.
void serve(int fd, QByteArray bytes)
{
    std::thread([fd, bytes] {
        // A reader that goes away must cost an EPIPE here, not the process.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        qsizetype written = 0;
        while (written < bytes.size()) {
            pollfd pfd = {fd, POLLOUT, 0};
            if (poll(&pfd, 1, 5000) <= 0)
                break;
            const ssize_t n = write(fd, bytes.constData() + written, size_t(bytes.size() - written));
            if (n > 0)
                written += n;
            else if (n < 0 && errno != EINTR && errno != EAGAIN)
                break;
        }
        close(fd);
        const timespec none = {0, 0};
        sigtimedwait(&pipeSignal, nullptr, &none);
    }).detach();
}

// Reads offers one after the other, in the order they came, and hands each
// to `deliver`.
class OfferReader final
{
public:
    struct Job
    {
        QStringList formats;
        std::vector<Pipe> pipes;
    };

    explicit OfferReader(std::function<void(ClipboardOffer)> deliver)
        : m_deliver(std::move(deliver)), m_cancelFd(eventfd(0, EFD_CLOEXEC)), m_thread([this] { run(); })
    {
    }

    ~OfferReader()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        // A read in progress ends now rather than at its timeout.
        const uint64_t one = 1;
        (void)!write(m_cancelFd, &one, sizeof one);
        m_thread.join();
        close(m_cancelFd);
        for (Job &job : m_jobs) {
            for (Pipe &p : job.pipes)
                close(p.fd);
        }
    }

    void push(Job job)
    {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_one();
    }

private:
    void run()
    {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
                if (m_stopping)
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            ClipboardOffer offer;
            offer.formats = job.formats;
            QStringList late;
            offer.data = drain(job.pipes, Clock::now() + std::chrono::milliseconds(WaylandClipboard::kReadTimeoutMs), late,
                               m_cancelFd);
            {
                std::lock_guard lock(m_mutex);
                if (m_stopping)
                    return;
            }
            if (!late.isEmpty())
                Log::info(QStringLiteral("Watcher: the clipboard owner did not deliver %1 in time, left out")
                              .arg(late.join(QStringLiteral(", "))));
            m_deliver(std::move(offer));
        }
    }

    std::function<void(ClipboardOffer)> m_deliver;
    int m_cancelFd = -1;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    std::thread m_thread;
};

// Asks `offer` for `wireType` through a new pipe; the read end, or -1.
int receive(const DataControlProtocol &protocol, wl_proxy *offer, const QString &wireType)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    protocol.receive(offer, wireType.toUtf8().constData(), fds[1]);
    close(fds[1]);
    return fds[0];
}

// One write of ours, alive until another owner takes the clipboard.
struct Source
{
    const DataControlProtocol *protocol = nullptr;
    wl_proxy *proxy = nullptr;
    QList<QPair<QString, QByteArray>> entries;
    std::vector<Source *> *live = nullptr; // the list that owns it
};

} // namespace

struct WaylandClipboard::Impl
{
    std::shared_ptr<WaylandConnection> connection;

    const DataControlProtocol *protocol = nullptr; // chosen at creation

    // Event thread only.
    wl_proxy *manager = nullptr;
    wl_proxy *device = nullptr;
    QHash<wl_proxy *, QStringList> offerTypes;
    wl_proxy *current = nullptr;
    std::vector<Source *> sources;
    TypeChooser choose;
    std::unique_ptr<OfferReader> reader;

    // Any thread.
    mutable std::mutex mutex;
    WaylandMimeMapping::Presented presented;
    std::atomic<qint64> changeCount{0};

    void onSelection(wl_proxy *offer);
};

namespace {

void offerType(void *data, wl_proxy *offer, const char *mimeType)
{
    auto *impl = static_cast<WaylandClipboard::Impl *>(data);
    impl->offerTypes[offer].append(QString::fromUtf8(mimeType));
}

const DataControlProtocol::OfferListener kOfferListener = {offerType};

void deviceDataOffer(void *data, wl_proxy *, wl_proxy *offer)
{
    auto *impl = static_cast<WaylandClipboard::Impl *>(data);
    impl->offerTypes.insert(offer, {});
    DataControlProtocol::listen(offer, &kOfferListener, impl);
}

void deviceSelection(void *data, wl_proxy *, wl_proxy *offer)
{
    static_cast<WaylandClipboard::Impl *>(data)->onSelection(offer);
}

void deviceFinished(void *data, wl_proxy *device)
{
    auto *impl = static_cast<WaylandClipboard::Impl *>(data);
    Log::error(QStringLiteral("Watcher: the compositor withdrew clipboard access (data-control finished)"));
    impl->protocol->destroyDevice(device);
    impl->device = nullptr;
}

void devicePrimarySelection(void *data, wl_proxy *, wl_proxy *offer)
{
    // Only the regular clipboard is watched.
    auto *impl = static_cast<WaylandClipboard::Impl *>(data);
    if (offer) {
        impl->offerTypes.remove(offer);
        impl->protocol->destroyOffer(offer);
    }
}

const DataControlProtocol::DeviceListener kDeviceListener = {deviceDataOffer, deviceSelection, deviceFinished,
                                                             devicePrimarySelection};

void sourceSend(void *data, wl_proxy *, const char *mimeType, int32_t fd)
{
    auto *source = static_cast<Source *>(data);
    const QString type = QString::fromUtf8(mimeType);
    for (const auto &entry : source->entries) {
        if (entry.first == type) {
            serve(fd, entry.second);
            return;
        }
    }
    close(fd);
}

void sourceCancelled(void *data, wl_proxy *proxy)
{
    auto *source = static_cast<Source *>(data);
    std::erase(*source->live, source);
    source->protocol->destroySource(proxy);
    delete source;
}

const DataControlProtocol::SourceListener kSourceListener = {sourceSend, sourceCancelled};

} // namespace

void WaylandClipboard::Impl::onSelection(wl_proxy *offer)
{
    if (current && current != offer) {
        offerTypes.remove(current);
        protocol->destroyOffer(current);
    }
    current = offer;
    const QStringList wireTypes = offer ? offerTypes.value(offer) : QStringList();
    const WaylandMimeMapping::Presented view = WaylandMimeMapping::present(wireTypes);
    {
        std::lock_guard lock(mutex);
        presented = view;
    }
    ++changeCount;
    if (!reader)
        return;
    OfferReader::Job job;
    job.formats = view.formats;
    if (offer && choose) {
        for (const QString &type : choose(view.formats)) {
            if (!view.wireType.contains(type))
                continue;
            const int fd = receive(*protocol, offer, view.wireType.value(type));
            if (fd >= 0)
                job.pipes.push_back({type, fd, {}, false});
        }
    }
    reader->push(std::move(job));
}

namespace {

const DataControlProtocol *protocolOf(const WaylandConnection &connection)
{
    return DataControlProtocol::preferred([&connection](const QString &name) { return connection.offers(name); });
}

} // namespace

WaylandClipboard::WaylandClipboard(std::shared_ptr<WaylandConnection> connection, QObject *parent)
    : QObject(parent), m_impl(std::make_unique<Impl>())
{
    m_impl->connection = std::move(connection);
}

bool WaylandClipboard::isOffered(const WaylandConnection &connection)
{
    return protocolOf(connection) != nullptr;
}

std::unique_ptr<WaylandClipboard> WaylandClipboard::create(std::shared_ptr<WaylandConnection> connection, QObject *parent)
{
    const DataControlProtocol *protocol = connection ? protocolOf(*connection) : nullptr;
    if (!protocol)
        return nullptr;
    std::unique_ptr<WaylandClipboard> clipboard(new WaylandClipboard(connection, parent));
    Impl *impl = clipboard->m_impl.get();
    impl->protocol = protocol;
    bool ready = false;
    connection->runSync([&] {
        if (!connection->seat())
            return;
        impl->manager = static_cast<wl_proxy *>(connection->bind(protocol->managerInterface, protocol->version));
        if (!impl->manager)
            return;
        impl->device = protocol->getDataDevice(impl->manager, connection->seat());
        DataControlProtocol::listen(impl->device, &kDeviceListener, impl);
        // The first selection event tells what is on the clipboard now.
        wl_display_roundtrip(connection->display());
        ready = impl->device != nullptr;
    });
    return ready ? std::move(clipboard) : nullptr;
}

WaylandClipboard::~WaylandClipboard()
{
    Impl *impl = m_impl.get();
    impl->connection->runSync([impl] {
        for (Source *source : impl->sources) {
            impl->protocol->destroySource(source->proxy);
            delete source;
        }
        impl->sources.clear();
        for (auto it = impl->offerTypes.cbegin(); it != impl->offerTypes.cend(); ++it)
            impl->protocol->destroyOffer(it.key());
        impl->offerTypes.clear();
        impl->current = nullptr;
        if (impl->device)
            impl->protocol->destroyDevice(impl->device);
        if (impl->manager)
            impl->protocol->destroyManager(impl->manager);
        impl->device = nullptr;
        impl->manager = nullptr;
    });
    impl->reader.reset();
}

qint64 WaylandClipboard::changeCount() const
{
    return m_impl->changeCount.load();
}

QStringList WaylandClipboard::formats() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->presented.formats;
}

bool WaylandClipboard::holdsOwnWrite() const
{
    return formats().contains(QLatin1String(kOwnWriteMimeType));
}

std::optional<QByteArray> WaylandClipboard::data(const QString &mimeType) const
{
    Impl *impl = m_impl.get();
    int fd = -1;
    impl->connection->runSync([&] {
        if (!impl->current)
            return;
        const WaylandMimeMapping::Presented view = WaylandMimeMapping::present(impl->offerTypes.value(impl->current));
        if (view.wireType.contains(mimeType))
            fd = receive(*impl->protocol, impl->current, view.wireType.value(mimeType));
    });
    if (fd < 0)
        return std::nullopt;
    std::vector<Pipe> pipes{{mimeType, fd, {}, false}};
    QStringList late;
    const QHash<QString, QByteArray> got = drain(pipes, Clock::now() + std::chrono::milliseconds(kReadTimeoutMs), late);
    if (!got.contains(mimeType))
        return std::nullopt;
    return got.value(mimeType);
}

void WaylandClipboard::write(const ClipboardContent &content)
{
    const QList<QPair<QString, QByteArray>> entries = WaylandMimeMapping::offeredEntries(content);
    Impl *impl = m_impl.get();
    impl->connection->post([impl, entries] {
        if (!impl->device) {
            Log::error(QStringLiteral("Paste: no clipboard access on this compositor, nothing written"));
            return;
        }
        const DataControlProtocol &protocol = *impl->protocol;
        if (entries.isEmpty()) {
            protocol.setSelection(impl->device, nullptr);
            return;
        }
        auto *source = new Source;
        source->protocol = &protocol;
        source->entries = entries;
        source->live = &impl->sources;
        source->proxy = protocol.createDataSource(impl->manager);
        DataControlProtocol::listen(source->proxy, &kSourceListener, source);
        impl->sources.push_back(source);
        for (const auto &entry : entries)
            protocol.offer(source->proxy, entry.first.toUtf8().constData());
        protocol.setSelection(impl->device, source->proxy);
    });
}

bool WaylandClipboard::watchChanges(TypeChooser choose, OfferHandler onOffer)
{
    Impl *impl = m_impl.get();
    auto reader = std::make_unique<OfferReader>([this, onOffer](ClipboardOffer offer) {
        QMetaObject::invokeMethod(this, [onOffer, offer = std::move(offer)] { onOffer(offer); }, Qt::QueuedConnection);
    });
    impl->connection->runSync([&] {
        impl->choose = std::move(choose);
        impl->reader = std::move(reader);
    });
    return true;
}
