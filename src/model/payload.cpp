#include "payload.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <unistd.h>

#include "base64.h"
#include "platform/logger.h"

struct Payload::Large {
    explicit Large(qsizetype n) : size(n) {}
    const qsizetype size;
    mutable std::mutex mutex;
    QByteArray held; // until written to a file
    PayloadLocation location;
};

Payload::Payload(QByteArray bytes)
{
    if (bytes.size() < kLargeFrom) {
        m_small = std::move(bytes);
        return;
    }
    m_large = std::make_shared<Large>(bytes.size());
    m_large->held = std::move(bytes);
}

Payload Payload::stored(PayloadLocation location, qsizetype size)
{
    Payload p;
    p.m_large = std::make_shared<Large>(size);
    p.m_large->location = std::move(location);
    return p;
}

qsizetype Payload::size() const
{
    return m_large ? m_large->size : m_small.size();
}

std::optional<QByteArray> Payload::heldBytes() const
{
    if (!m_large)
        return m_small;
    std::lock_guard lock(m_large->mutex);
    if (m_large->location.file)
        return std::nullopt;
    return m_large->held;
}

std::optional<PayloadLocation> Payload::location() const
{
    if (!m_large)
        return std::nullopt;
    std::lock_guard lock(m_large->mutex);
    if (!m_large->location.file)
        return std::nullopt;
    return m_large->location;
}

void Payload::moveTo(const PayloadLocation &location) const
{
    if (!m_large || !location.file)
        return;
    QByteArray dropped; // freed outside the lock
    std::lock_guard lock(m_large->mutex);
    m_large->location = location;
    dropped = std::exchange(m_large->held, QByteArray());
}

namespace {

// Text is read and decoded a slice at a time, so a read holds the decoded
// bytes and one slice, never the whole Base64 text as well.
constexpr qint64 kSlice = 4 << 20; // a multiple of 4

std::optional<QByteArray> decodeRun(const PayloadLocation &at, qsizetype size, QString *why)
{
    if (at.length % 4 != 0 || Base64::decodedCapacity(std::size_t(at.length)) < std::size_t(size)) {
        *why = QStringLiteral("its Base64 text has the wrong length");
        return std::nullopt;
    }
    QByteArray out(qsizetype(Base64::decodedCapacity(std::size_t(at.length))), Qt::Uninitialized);
    std::vector<char> text(std::size_t(std::min(kSlice, at.length)));
    qint64 done = 0;
    qsizetype written = 0;
    while (done < at.length) {
        const qint64 n = std::min(kSlice, at.length - done);
        if (!at.file->readAt(at.offset + done, text.data(), n, why))
            return std::nullopt;
        const auto decoded = Base64::decode(text.data(), std::size_t(n), out.data() + written);
        done += n;
        // Padding may end only the last slice.
        if (!decoded || (done < at.length && *decoded != std::size_t(n / 4 * 3))) {
            *why = QStringLiteral("it is not valid Base64");
            return std::nullopt;
        }
        written += qsizetype(*decoded);
    }
    if (written != size) {
        *why = QStringLiteral("it decodes to %1 bytes instead of %2").arg(written).arg(size);
        return std::nullopt;
    }
    out.truncate(written);
    return out;
}

} // namespace

std::optional<QByteArray> Payload::read(QString *why) const
{
    if (!m_large)
        return m_small;
    PayloadLocation at;
    {
        std::lock_guard lock(m_large->mutex);
        if (!m_large->location.file)
            return m_large->held;
        at = m_large->location;
    }
    QString reason;
    auto bytes = decodeRun(at, m_large->size, &reason);
    if (!bytes) {
        Log::error(QStringLiteral("Store: a clip's content (%1 bytes at byte %2 of %3) cannot be read: %4")
                       .arg(m_large->size)
                       .arg(at.offset)
                       .arg(at.file->path(), reason));
        if (why)
            *why = reason;
    }
    return bytes;
}

QByteArray Payload::bytes() const
{
    return read().value_or(QByteArray());
}

bool operator==(const Payload &a, const Payload &b)
{
    if (a.size() != b.size())
        return false;
    if (!a.m_large && !b.m_large)
        return a.m_small == b.m_small;
    return a.sharesWith(b) || a.read() == b.read();
}

PayloadFile::PayloadFile(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}

PayloadFile::~PayloadFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PayloadFile::readAt(qint64 offset, char *out, qint64 n, QString *why) const
{
    while (n > 0) {
        const ssize_t got = ::pread(m_fd, out, std::size_t(n), off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *why = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        if (got == 0) {
            *why = QStringLiteral("the file ends before it");
            return false;
        }
        out += got;
        offset += got;
        n -= got;
    }
    return true;
}
