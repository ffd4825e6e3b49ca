#pragma once

#include <functional>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Hands out the elements of one top-level JSON array one at a time, reading
// its source in chunks, so that an array of any size can be walked while
// holding only the element at hand. Elements are delimited, not checked: the
// caller parses each one. After a syntax fault between or inside elements
// the stream resumes at the next object start ("{" followed by a quote), so
// one damaged record does not hide the ones after it.
class JsonArrayStream final
{
public:
    // Fills `buffer` with at most `capacity` bytes; returns the count, 0 at
    // the end, -1 on a read error (with a reason in `*error`).
    using Source = std::function<qint64(char *buffer, qint64 capacity, QString *error)>;

    // `sizeHint`, when known, is the total size of the text; it only helps
    // callers make room ahead.
    explicit JsonArrayStream(Source source, qsizetype chunkSize = 4 << 20, qint64 sizeHint = 0);
    // Walks bytes held by the caller, which must outlive the stream.
    explicit JsonArrayStream(QByteArrayView bytes);

    // The next element's bytes, valid until the next call; false when there
    // are no more.
    bool next(QByteArrayView *element);

    // Where a long string's left-out bytes lie (see leaveOutStringsFrom).
    struct LeftOut {
        qsizetype at = 0;  // in the element: where the kept end of the string begins
        qint64 offset = 0; // in the text: where the string's content begins
        qint64 length = 0; // bytes left out from `offset` on
    };

    // A string inside an element that grows past `bytes` is not held whole:
    // what has been scanned of it is left out of the element, all but its
    // last two bytes, so an element carrying a large Base64 value costs one
    // chunk of memory, not its size. leftOut() says where those bytes lie in
    // the text, to be read again from there when wanted. A string is kept
    // from its first escape or bracket on, so that what is left out holds no
    // byte a resync or another scan could take for structure. 0 (the
    // default) keeps every byte.
    void leaveOutStringsFrom(qsizetype bytes) { m_leaveOutFrom = bytes; }
    // The strings left out of the element last handed out, in order.
    const QList<LeftOut> &leftOut() const { return m_leftOut; }
    // Where the element last handed out begins in the text.
    qint64 elementOffset() const { return m_elementOffset; }

    // Tells the stream that the element last handed out is not well-formed
    // JSON, so its end was misjudged: the next call looks for a record start
    // inside it rather than after it.
    void rejectElement();

    // Empty when the text was one well-formed array of delimited elements;
    // otherwise the first fault, such as "not a JSON array" or "ends early".
    QString problem() const { return m_problem; }
    // True when the text did not start an array: no element was offered.
    bool notAnArray() const { return m_notAnArray; }
    // Bytes consumed so far from the start of the text.
    qint64 offset() const { return textOffset(m_pos); }
    qint64 sizeHint() const { return m_sizeHint; }

private:
    enum class State { Start, FirstElement, Element, Separator, Done };
    enum class Scan { Complete, NeedMore, Fault };

    // Makes at least one more byte available after m_end; false at the end.
    bool fill();
    bool skipWhitespace();
    Scan scanElement(qsizetype *end);
    bool resync(qsizetype from, const QString &fault);
    void fail(const QString &fault);
    void finishAfterArray();
    void leaveOutScannedString();
    qint64 textOffset(qsizetype index) const;

    Source m_source;
    QByteArray m_buffer;
    const char *m_data = nullptr;
    qsizetype m_size = 0;   // valid bytes in m_data
    qsizetype m_pos = 0;    // next unread byte
    qsizetype m_elementStart = -1;
    qint64 m_base = 0;      // text offset of m_data[0]
    qsizetype m_chunk = 0;
    qint64 m_sizeHint = 0;
    bool m_eof = false;
    State m_state = State::Start;
    QString m_problem;
    bool m_notAnArray = false;
    int m_resyncs = 0;

    // resumable element scan
    qsizetype m_scanAt = 0;
    int m_depth = 0;
    bool m_inString = false;

    // Leaving out long strings: the string being scanned, and the cuts made
    // in the buffer (at `index`, `bytes` of text that began at `offset`).
    struct Cut {
        qsizetype index;
        qint64 bytes;
        qint64 offset;
    };
    qsizetype m_leaveOutFrom = 0;
    qsizetype m_stringStart = 0;
    bool m_stringEscaped = false;
    bool m_stringBracket = false; // with m_stringEscaped: the string is kept from here on
    std::vector<Cut> m_cuts;
    QList<LeftOut> m_leftOut;
    qint64 m_elementOffset = 0;
};
