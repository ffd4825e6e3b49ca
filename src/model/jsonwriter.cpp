#include "jsonwriter.h"

#include <charconv>
#include <cmath>

#include "base64.h"

void JsonWriter::separate()
{
    if (m_needComma)
        m_out.append(',');
}

void JsonWriter::beginObject()
{
    separate();
    m_out.append('{');
    m_needComma = false;
}

void JsonWriter::endObject()
{
    m_out.append('}');
    m_needComma = true;
}

void JsonWriter::beginArray()
{
    separate();
    m_out.append('[');
    m_needComma = false;
}

void JsonWriter::endArray()
{
    m_out.append(']');
    m_needComma = true;
}

void JsonWriter::key(QLatin1StringView name)
{
    separate();
    m_out.append('"');
    m_out.append(name.data(), name.size());
    m_out.append("\":", 2);
    m_needComma = false;
}

void JsonWriter::string(QStringView text)
{
    separate();
    const QByteArray utf8 = text.toUtf8();
    m_out.reserve(m_out.size() + utf8.size() + 2);
    m_out.append('"');
    static constexpr char hex[] = "0123456789abcdef";
    const char *run = utf8.constData();
    const char *const end = run + utf8.size();
    for (const char *p = run; p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        m_out.append(run, p - run);
        run = p + 1;
        switch (c) {
        case '"': m_out.append("\\\"", 2); break;
        case '\\': m_out.append("\\\\", 2); break;
        case '\b': m_out.append("\\b", 2); break;
        case '\f': m_out.append("\\f", 2); break;
        case '\n': m_out.append("\\n", 2); break;
        case '\r': m_out.append("\\r", 2); break;
        case '\t': m_out.append("\\t", 2); break;
        default: {
            const char esc[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            m_out.append(esc, 6);
        }
        }
    }
    m_out.append(run, end - run);
    m_out.append('"');
    m_needComma = true;
}

void JsonWriter::asciiString(QLatin1StringView text)
{
    separate();
    m_out.append('"');
    m_out.append(text.data(), text.size());
    m_out.append('"');
    m_needComma = true;
}

void JsonWriter::base64(QByteArrayView bytes)
{
    separate();
    m_out.append('"');
    Base64::appendEncoded(m_out, bytes);
    m_out.append('"');
    m_needComma = true;
}

void JsonWriter::number(double value)
{
    separate();
    if (!std::isfinite(value)) {
        m_out.append('0');
    } else {
        char buf[400];
        const auto r = std::abs(value) < 1e16 ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed)
                                              : std::to_chars(buf, buf + sizeof buf, value);
        m_out.append(buf, r.ptr - buf);
    }
    m_needComma = true;
}

void JsonWriter::integer(qint64 value)
{
    separate();
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    m_out.append(buf, r.ptr - buf);
    m_needComma = true;
}

void JsonWriter::boolean(bool value)
{
    separate();
    if (value)
        m_out.append("true", 4);
    else
        m_out.append("false", 5);
    m_needComma = true;
}

void JsonWriter::null()
{
    separate();
    m_out.append("null", 4);
    m_needComma = true;
}

void JsonWriter::rawValue(QByteArrayView json)
{
    separate();
    m_out.append(json);
    m_needComma = true;
}
