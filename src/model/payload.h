#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>

class PayloadFile;

// Where a stored payload's Base64 text lies: `length` characters from
// `offset` in `file`.
struct PayloadLocation {
    std::shared_ptr<PayloadFile> file;
    qint64 offset = 0;
    qint64 length = 0;
};

// A clip's content bytes. Small contents are held as a plain byte array. A
// large one (kLargeFrom bytes or more) is one shared value for every copy of
// the clip: held in memory from capture until the history is written, then
// only its place in the history file is kept and the bytes are read and
// decoded again when asked for. Copies are cheap; reads are thread-safe.
class Payload final
{
public:
    static constexpr qsizetype kLargeFrom = 256 * 1024;

    Payload() = default;
    Payload(QByteArray bytes); // NOLINT: a payload is its bytes
    Payload(const char *text) : Payload(QByteArray(text)) {} // NOLINT

    // A run of Base64 text in a history file that decodes to `size` bytes;
    // nothing is read until asked for.
    static Payload stored(PayloadLocation location, qsizetype size);

    qsizetype size() const;
    bool isEmpty() const { return size() == 0; }
    void clear() { *this = Payload(); }

    // The bytes, read from the file when not held. On failure (the run is
    // cut short or not Base64) logs what went wrong and returns nothing.
    std::optional<QByteArray> read(QString *why = nullptr) const;
    // read(), with empty bytes standing for a failure (already logged).
    QByteArray bytes() const;

    // Shared by every copy of the clip, so it can be moved to a file.
    bool isLarge() const { return m_large != nullptr; }
    // The held bytes, when there are any (large or small): no read.
    std::optional<QByteArray> heldBytes() const;
    // Where the Base64 text lies, when the bytes are not held.
    std::optional<PayloadLocation> location() const;
    // The content now lies at `location` (a rewrite moved it, or wrote it
    // for the first time): the held bytes, if any, are let go. The content
    // itself does not change, so this is allowed on a const value. A small
    // payload ignores it.
    void moveTo(const PayloadLocation &location) const;
    // True when both are copies of one large payload (no read).
    bool sharesWith(const Payload &other) const { return m_large && m_large == other.m_large; }

    // Same bytes; copies of one large payload compare equal without a read.
    friend bool operator==(const Payload &a, const Payload &b);

private:
    struct Large;
    QByteArray m_small;
    std::shared_ptr<Large> m_large;
};

// One open history file that stored payloads are read from. The descriptor
// keeps the file's contents readable after a rewrite renames another file
// over its name; it is closed when the last payload in it is gone.
class PayloadFile final
{
public:
    // Takes `fd` (open for reading); `path` only names it in log lines.
    PayloadFile(int fd, QString path);
    ~PayloadFile();
    PayloadFile(const PayloadFile &) = delete;
    PayloadFile &operator=(const PayloadFile &) = delete;

    int fd() const { return m_fd; }
    QString path() const { return m_path; }
    // Reads exactly `n` bytes at `offset`; false with the reason otherwise.
    bool readAt(qint64 offset, char *out, qint64 n, QString *why) const;

private:
    int m_fd;
    QString m_path;
};
