#include "jsonreader.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "hexdigit.h"

namespace {

constexpr int kMaxDepth = 256;

inline bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool readHex4(const char *p, unsigned *out)
{
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
        const int h = hexDigitValue(p[i]);
        if (h < 0)
            return false;
        v = v << 4 | unsigned(h);
    }
    *out = v;
    return true;
}

void appendUtf8(QByteArray &out, char32_t cp)
{
    if (cp < 0x80) {
        out.append(char(cp));
    } else if (cp < 0x800) {
        out.append(char(0xC0 | (cp >> 6)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(char(0xE0 | (cp >> 12)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else {
        out.append(char(0xF0 | (cp >> 18)));
        out.append(char(0x80 | ((cp >> 12) & 0x3F)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    }
}

} // namespace

JsonReader::JsonReader(QByteArrayView json)
    : m_begin(json.data()), m_p(json.data()), m_end(json.data() + json.size())
{
}

void JsonReader::skipWhitespace()
{
    while (m_p != m_end && isSpace(*m_p))
        ++m_p;
}

bool JsonReader::atEnd()
{
    skipWhitespace();
    return m_p == m_end;
}

char JsonReader::peek()
{
    skipWhitespace();
    return m_p == m_end ? '\0' : *m_p;
}

bool JsonReader::consume(char c)
{
    if (peek() != c || m_p == m_end)
        return false;
    ++m_p;
    return true;
}

bool JsonReader::readStringSpan(StringSpan *span)
{
    if (!consume('"'))
        return false;
    const char *const start = m_p;
    const char *q = m_p;
    for (;;) {
        q = static_cast<const char *>(std::memchr(q, '"', std::size_t(m_end - q)));
        if (!q)
            return false;
        // A quote is escaped when an odd run of backslashes precedes it.
        const char *b = q;
        while (b != start && b[-1] == '\\')
            --b;
        if ((q - b) % 2 == 0)
            break;
        ++q;
    }
    span->raw = QByteArrayView(start, q - start);
    span->escaped = std::memchr(start, '\\', std::size_t(q - start)) != nullptr;
    m_p = q + 1;
    return true;
}

bool JsonReader::decodeUtf8(const StringSpan &span, QByteArray *out)
{
    const char *p = span.raw.data();
    const char *const end = p + span.raw.size();
    if (!span.escaped) {
        for (const char *c = p; c != end; ++c) {
            if (static_cast<unsigned char>(*c) < 0x20)
                return false;
        }
        *out = span.raw.toByteArray();
        return true;
    }
    QByteArray result;
    result.reserve(span.raw.size());
    while (p != end) {
        const char c = *p;
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
        if (c != '\\') {
            result.append(c);
            ++p;
            continue;
        }
        if (end - p < 2)
            return false;
        const char e = p[1];
        p += 2;
        switch (e) {
        case '"': result.append('"'); break;
        case '\\': result.append('\\'); break;
        case '/': result.append('/'); break;
        case 'b': result.append('\b'); break;
        case 'f': result.append('\f'); break;
        case 'n': result.append('\n'); break;
        case 'r': result.append('\r'); break;
        case 't': result.append('\t'); break;
        case 'u': {
            unsigned u = 0;
            if (end - p < 4 || !readHex4(p, &u))
                return false;
            p += 4;
            char32_t cp = u;
            if (u >= 0xD800 && u <= 0xDBFF) {
                unsigned low = 0;
                if (end - p >= 6 && p[0] == '\\' && p[1] == 'u' && readHex4(p + 2, &low) && low >= 0xDC00
                    && low <= 0xDFFF) {
                    cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
                    p += 6;
                } else {
                    cp = 0xFFFD; // lone high surrogate
                }
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                cp = 0xFFFD; // lone low surrogate
            }
            appendUtf8(result, cp);
            break;
        }
        default:
            return false;
        }
    }
    *out = std::move(result);
    return true;
}

bool JsonReader::decodeString(const StringSpan &span, QString *out)
{
    if (!span.escaped) {
        const char *p = span.raw.data();
        const char *const end = p + span.raw.size();
        for (; p != end; ++p) {
            if (static_cast<unsigned char>(*p) < 0x20)
                return false;
        }
        *out = QString::fromUtf8(span.raw);
        return true;
    }
    QByteArray utf8;
    if (!decodeUtf8(span, &utf8))
        return false;
    *out = QString::fromUtf8(utf8);
    return true;
}

bool JsonReader::readString(QString *out)
{
    StringSpan span;
    return readStringSpan(&span) && decodeString(span, out);
}

bool JsonReader::scanNumber(QByteArrayView *text, bool *integral)
{
    skipWhitespace();
    const char *p = m_p;
    if (p != m_end && *p == '-')
        ++p;
    if (p == m_end)
        return false;
    if (*p == '0') {
        ++p;
    } else if (*p >= '1' && *p <= '9') {
        while (p != m_end && isDigit(*p))
            ++p;
    } else {
        return false;
    }
    *integral = true;
    if (p != m_end && *p == '.') {
        ++p;
        if (p == m_end || !isDigit(*p))
            return false;
        while (p != m_end && isDigit(*p))
            ++p;
        *integral = false;
    }
    if (p != m_end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p != m_end && (*p == '+' || *p == '-'))
            ++p;
        if (p == m_end || !isDigit(*p))
            return false;
        while (p != m_end && isDigit(*p))
            ++p;
        *integral = false;
    }
    *text = QByteArrayView(m_p, p - m_p);
    m_p = p;
    return true;
}

bool JsonReader::readNumber(double *out)
{
    const char *const start = m_p;
    QByteArrayView text;
    bool integral = false;
    if (!scanNumber(&text, &integral))
        return false;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    // Out-of-range magnitudes are reported as errors; JSON has no infinity,
    // so they do not read as a number.
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        m_p = start;
        return false;
    }
    *out = v;
    return true;
}

bool JsonReader::readInteger(qint64 *out)
{
    const char *const start = m_p;
    QByteArrayView text;
    bool integral = false;
    if (!scanNumber(&text, &integral))
        return false;
    if (integral) {
        qint64 v = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
            m_p = start;
            return false;
        }
        *out = v;
        return true;
    }
    double d = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (r.ec != std::errc() || d != std::trunc(d) || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18) {
        m_p = start;
        return false;
    }
    *out = static_cast<qint64>(d);
    return true;
}

bool JsonReader::readBool(bool *out)
{
    skipWhitespace();
    const qsizetype left = m_end - m_p;
    if (left >= 4 && std::memcmp(m_p, "true", 4) == 0) {
        m_p += 4;
        *out = true;
        return true;
    }
    if (left >= 5 && std::memcmp(m_p, "false", 5) == 0) {
        m_p += 5;
        *out = false;
        return true;
    }
    return false;
}

bool JsonReader::readNull()
{
    skipWhitespace();
    if (m_end - m_p >= 4 && std::memcmp(m_p, "null", 4) == 0) {
        m_p += 4;
        return true;
    }
    return false;
}

bool JsonReader::skipValue()
{
    return skipValue(0);
}

bool JsonReader::skipValue(int depth)
{
    if (depth > kMaxDepth)
        return false;
    switch (peek()) {
    case '"': {
        StringSpan span;
        QByteArray ignored;
        return readStringSpan(&span) && decodeUtf8(span, &ignored);
    }
    case '{':
        ++m_p;
        if (consume('}'))
            return true;
        do {
            StringSpan name;
            QByteArray ignored;
            if (!readStringSpan(&name) || !decodeUtf8(name, &ignored) || !consume(':') || !skipValue(depth + 1))
                return false;
        } while (consume(','));
        return consume('}');
    case '[':
        ++m_p;
        if (consume(']'))
            return true;
        do {
            if (!skipValue(depth + 1))
                return false;
        } while (consume(','));
        return consume(']');
    case 't':
    case 'f': {
        bool ignored = false;
        return readBool(&ignored);
    }
    case 'n':
        return readNull();
    default: {
        QByteArrayView text;
        bool integral = false;
        return scanNumber(&text, &integral);
    }
    }
}
