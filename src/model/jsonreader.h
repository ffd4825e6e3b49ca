#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A strict reader of one JSON text held in memory (RFC 8259). Each read skips
// the whitespace before its token and returns false, consuming nothing useful,
// when the next token is not of the asked type or is malformed. Invalid UTF-8
// inside strings is replaced, not refused, so a damaged character costs one
// character and not the record.
class JsonReader final
{
public:
    explicit JsonReader(QByteArrayView json);

    // True when only whitespace is left.
    bool atEnd();
    // The next non-whitespace byte, or 0 at the end.
    char peek();
    // Consumes `c` when it is the next non-whitespace byte.
    bool consume(char c);
    qsizetype position() const { return m_p - m_begin; }

    // The bytes between a string's quotes, escapes left as written.
    struct StringSpan {
        QByteArrayView raw;
        bool escaped = false;
    };
    bool readStringSpan(StringSpan *span);
    // Decodes a span read above: escapes resolved, control characters refused.
    static bool decodeString(const StringSpan &span, QString *out);
    static bool decodeUtf8(const StringSpan &span, QByteArray *out);

    bool readString(QString *out);
    bool readNumber(double *out);
    // A number with an integral value in the 64-bit range ("5" or "5.0").
    bool readInteger(qint64 *out);
    bool readBool(bool *out);
    // Consumes a null literal when it comes next.
    bool readNull();
    // Skips one value of any type, checking its syntax; nesting deeper than
    // 256 levels counts as malformed.
    bool skipValue();

private:
    void skipWhitespace();
    bool skipValue(int depth);
    bool scanNumber(QByteArrayView *text, bool *integral);

    const char *m_begin;
    const char *m_p;
    const char *m_end;
};
