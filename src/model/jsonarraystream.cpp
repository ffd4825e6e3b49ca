#include "jsonarraystream.h"

#include <algorithm>
#include <cstring>

#include "jsonscan.h"

namespace {

// A badly damaged file must not cost a rescan of its rest for every record.
constexpr int kMaxResyncs = 16;

inline bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

} // namespace

JsonArrayStream::JsonArrayStream(Source source, qsizetype chunkSize, qint64 sizeHint)
    : m_source(std::move(source)), m_chunk(qMax<qsizetype>(chunkSize, 16)), m_sizeHint(sizeHint)
{
}

JsonArrayStream::JsonArrayStream(QByteArrayView bytes)
    : m_data(bytes.data()), m_size(bytes.size()), m_sizeHint(bytes.size()), m_eof(true)
{
}

bool JsonArrayStream::fill()
{
    if (m_eof || !m_source)
        return false;
    if (m_buffer.isEmpty())
        m_buffer.resize(m_chunk);
    if (m_size == m_buffer.size()) {
        if (m_pos > 0) {
            // Only the element in progress is kept; everything before it
            // has been handed out.
            std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, std::size_t(m_size - m_pos));
            m_scanAt -= m_pos;
            m_stringStart -= m_pos;
            m_base = textOffset(m_pos);
            std::erase_if(m_cuts, [this](Cut &cut) {
                cut.index -= m_pos;
                return cut.index <= 0;
            });
            m_size -= m_pos;
            m_pos = 0;
        }
        if (m_size == m_buffer.size())
            m_buffer.resize(m_buffer.size() * 2);
    }
    QString error;
    const qint64 n = m_source(m_buffer.data() + m_size, m_buffer.size() - m_size, &error);
    m_data = m_buffer.constData();
    if (n <= 0) {
        m_eof = true;
        if (n < 0 && m_problem.isEmpty())
            m_problem = QStringLiteral("read error: ") + error;
        return false;
    }
    m_size += qsizetype(n);
    return true;
}

bool JsonArrayStream::skipWhitespace()
{
    for (;;) {
        while (m_pos < m_size && isSpace(m_data[m_pos]))
            ++m_pos;
        if (m_pos < m_size)
            return true;
        if (!fill())
            return false;
    }
}

void JsonArrayStream::fail(const QString &fault)
{
    if (m_problem.isEmpty())
        m_problem = fault;
    m_state = State::Done;
}

void JsonArrayStream::finishAfterArray()
{
    m_state = State::Done;
    if (skipWhitespace() && m_problem.isEmpty())
        m_problem = QStringLiteral("data after the array at byte %1").arg(offset());
}

bool JsonArrayStream::resync(qsizetype from, const QString &fault)
{
    if (m_problem.isEmpty())
        m_problem = fault;
    if (++m_resyncs > kMaxResyncs) {
        m_state = State::Done;
        return false;
    }
    m_pos = qMin(from, m_size);
    for (;;) {
        const void *hit = memmem(m_data + m_pos, std::size_t(m_size - m_pos), "{\"", 2);
        if (hit) {
            m_pos = static_cast<const char *>(hit) - m_data;
            m_state = State::Element;
            return true;
        }
        // A '{' at the very end may begin the next match.
        if (m_size > m_pos)
            m_pos = m_size - 1;
        if (!fill()) {
            m_pos = m_size;
            m_state = State::Done;
            return false;
        }
    }
}

JsonArrayStream::Scan JsonArrayStream::scanElement(qsizetype *end)
{
    if (m_scanAt == m_pos) {
        const char c = m_data[m_pos];
        m_scanAt = m_pos + 1;
        m_inString = false;
        if (c == '{' || c == '[') {
            m_depth = 1;
        } else if (c == '"') {
            m_depth = 0;
            m_inString = true;
        } else if (c == ',' || c == ']' || c == '}' || c == ':') {
            return Scan::Fault;
        } else {
            m_depth = -1; // a bare number or literal
        }
    }
    if (m_depth < 0) {
        for (; m_scanAt < m_size; ++m_scanAt) {
            const char c = m_data[m_scanAt];
            if (c == ',' || c == ']' || c == '}' || isSpace(c)) {
                *end = m_scanAt;
                return Scan::Complete;
            }
            if (c == '{' || c == '[' || c == '"' || c == ':')
                return Scan::Fault; // stray bytes glued to a record
        }
        return Scan::NeedMore;
    }
    while (m_scanAt < m_size) {
        if (m_inString) {
            // Only a string that may be left out needs its brackets noticed.
            bool *bracket = m_leaveOutFrom > 0 && m_depth > 0 ? &m_stringBracket : nullptr;
            const char *hit = JsonScan::findQuoteOrBackslash(m_data + m_scanAt, m_data + m_size, bracket);
            const qsizetype q = hit - m_data;
            if (q == m_size) {
                m_scanAt = m_size;
                return Scan::NeedMore;
            }
            if (*hit == '\\') {
                m_stringEscaped = true;
                if (q + 1 == m_size) { // the escaped byte is still to come
                    m_scanAt = q;
                    return Scan::NeedMore;
                }
                m_scanAt = q + 2;
                continue;
            }
            m_scanAt = q + 1;
            m_inString = false;
            if (m_depth == 0) {
                *end = m_scanAt;
                return Scan::Complete;
            }
            continue;
        }
        const char c = m_data[m_scanAt++];
        if (c == '"') {
            m_inString = true;
            m_stringStart = m_scanAt;
            m_stringEscaped = false;
            m_stringBracket = false;
        } else if (c == '{' || c == '[') {
            ++m_depth;
        } else if (c == '}' || c == ']') {
            if (--m_depth == 0) {
                *end = m_scanAt;
                return Scan::Complete;
            }
        }
    }
    return Scan::NeedMore;
}

qint64 JsonArrayStream::textOffset(qsizetype index) const
{
    qint64 offset = m_base + index;
    for (const Cut &cut : m_cuts) {
        if (cut.index <= index)
            offset += cut.bytes;
    }
    return offset;
}

void JsonArrayStream::leaveOutScannedString()
{
    // Only bytes that no scan can take for structure are left out: after a
    // resync the same bytes may be scanned again with other string bounds.
    if (m_leaveOutFrom <= 0 || !m_source || !m_inString || m_depth <= 0 || m_stringBracket || m_stringEscaped)
        return;
    // The last two bytes stay: a Base64 value's padding is read from them.
    const qsizetype from = m_stringStart;
    const qsizetype to = m_scanAt - 2;
    // A string scanned again after a resync may have been cut before.
    auto earlier = std::find_if(m_cuts.begin(), m_cuts.end(), [from](const Cut &c) { return c.index == from; });
    if (to <= from || (earlier == m_cuts.end() && to - from < m_leaveOutFrom))
        return;
    const qint64 cut = to - from;
    if (earlier == m_cuts.end()) {
        m_cuts.push_back({from, 0, textOffset(from)});
        earlier = m_cuts.end() - 1;
    }
    earlier->bytes += cut;
    char *buffer = m_buffer.data();
    std::memmove(buffer + from, buffer + to, std::size_t(m_size - to));
    m_data = m_buffer.constData();
    m_size -= cut;
    m_scanAt -= cut;
}

void JsonArrayStream::rejectElement()
{
    if (m_state != State::Separator || m_elementStart < 0)
        return;
    // The buffer still holds the element: nothing is read between next()
    // and this call.
    if (m_problem.isEmpty())
        m_problem = QStringLiteral("syntax error at byte %1").arg(textOffset(m_elementStart));
    resync(m_elementStart + 1, QString());
    m_elementStart = -1;
}

bool JsonArrayStream::next(QByteArrayView *element)
{
    for (;;) {
        switch (m_state) {
        case State::Done:
            return false;
        case State::Start:
            if (!skipWhitespace()) {
                m_notAnArray = true;
                fail(QStringLiteral("empty, not a JSON array"));
                return false;
            }
            if (m_data[m_pos] == '\xEF') { // a UTF-8 byte order mark is tolerated
                while (m_size - m_pos < 3 && fill()) {
                }
                if (m_size - m_pos >= 3 && std::memcmp(m_data + m_pos, "\xEF\xBB\xBF", 3) == 0) {
                    m_pos += 3;
                    if (!skipWhitespace()) {
                        m_notAnArray = true;
                        fail(QStringLiteral("empty, not a JSON array"));
                        return false;
                    }
                }
            }
            if (m_data[m_pos] != '[') {
                m_notAnArray = true;
                fail(QStringLiteral("not a JSON array"));
                return false;
            }
            ++m_pos;
            m_state = State::FirstElement;
            break;
        case State::FirstElement:
        case State::Element: {
            if (!skipWhitespace()) {
                fail(QStringLiteral("ends before the array is closed"));
                return false;
            }
            if (m_state == State::FirstElement && m_data[m_pos] == ']') {
                ++m_pos;
                finishAfterArray();
                return false;
            }
            m_scanAt = m_pos;
            qsizetype end = 0;
            bool resumed = false;
            for (;;) {
                const Scan s = scanElement(&end);
                if (s == Scan::Complete)
                    break;
                if (s == Scan::Fault) {
                    if (!resync(m_pos + 1, QStringLiteral("syntax error at byte %1").arg(offset())))
                        return false;
                    resumed = true;
                    break;
                }
                leaveOutScannedString();
                if (!fill()) {
                    if (!resync(m_pos + 1, QStringLiteral("ends inside the record at byte %1").arg(offset())))
                        return false;
                    resumed = true;
                    break;
                }
            }
            if (resumed)
                break;
            *element = QByteArrayView(m_data + m_pos, end - m_pos);
            m_elementOffset = textOffset(m_pos);
            m_leftOut.clear();
            for (const Cut &cut : m_cuts) {
                if (cut.index > m_pos && cut.index < end)
                    m_leftOut.append({cut.index - m_pos, cut.offset, cut.bytes});
            }
            m_elementStart = m_pos;
            m_pos = end;
            m_state = State::Separator;
            return true;
        }
        case State::Separator: {
            if (!skipWhitespace()) {
                fail(QStringLiteral("ends before the array is closed"));
                return false;
            }
            const char c = m_data[m_pos];
            if (c == ',') {
                ++m_pos;
                m_state = State::Element;
            } else if (c == ']') {
                ++m_pos;
                finishAfterArray();
                return false;
            } else if (!resync(m_pos, QStringLiteral("syntax error at byte %1").arg(offset()))) {
                return false;
            }
            break;
        }
        }
    }
}
