#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QStringView>

// Appends compact JSON (no spaces, no line breaks) to a byte array. The caller
// keeps the structure well formed; the writer places the commas and colons.
class JsonWriter final
{
public:
    explicit JsonWriter(QByteArray &out) : m_out(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // `name` must need no escaping (the history's keys are plain ASCII).
    void key(QLatin1StringView name);

    // UTF-8, with '"', '\' and control characters escaped.
    void string(QStringView text);
    // A string known to need no escaping.
    void asciiString(QLatin1StringView text);
    // Standard Base64 with padding.
    void base64(QByteArrayView bytes);
    // Shortest text that reads back to the same double; plain decimal below
    // 1e16 in magnitude. Infinity and NaN, which JSON cannot carry, write 0.
    void number(double value);
    void integer(qint64 value);
    void boolean(bool value);
    void null();
    // A value already in JSON form, such as a cached record.
    void rawValue(QByteArrayView json);

private:
    void separate();

    QByteArray &m_out;
    bool m_needComma = false;
};
